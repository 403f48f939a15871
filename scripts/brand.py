#!/usr/bin/env python3
"""An operator's brand folder: each piece checked against what the client needs of it, then laid out for the build.

    brand.py assemble --res RES --out OUT [--brand DIR] [--siteurl FILE]
        Checks every file of DIR, and FILE (a site-address document given on its own, which wins over DIR's), and
        copies each into OUT under the path the shipped piece has in RES, where the resource compiler finds it before
        the shipped one; the titles go into OUT/titles.rc. What an earlier brand left in OUT and this one does not
        hold is removed. Prints two lines on standard output: the product's name (the English window title), then
        the executable's name (without .exe).
    brand.py check [--res RES] [--brand DIR] [--siteurl FILE]
        The same checks, writing nothing: prints the executable's name (without .exe) on standard output. RES
        defaults to res/ beside this script.

A brand folder may hold, each file optional:
    layout.ini, siteurl.ini, animation.ini, resolution.ini   the four documents
    <id>_<role>.png | .jpg                                   a picture of the skin, under the name the generator
                                                             gives it (res/images.rc lists them)
    128_app_icon.ico                                         the windows' icon
    titles.ini                                               the window titles: sections [English] and [Chinese],
                                                             keys AppTitle (the main window) and WebTitle (the
                                                             game window's title bar), UTF-8
    browser.ini                                              the embedded browser: [Browser] DocumentMode, the
                                                             document mode asked for (0: none)
    offline.html                                             the page shown when a server cannot be reached, in
                                                             both languages' place: UTF-8, at most 64 KiB, with a
                                                             link whose id is "retry"
    executable.ini                                           the executable's name: [Executable] Name, which the
                                                             release's files and the version resource's original
                                                             and internal names take (default: lumora)

The first piece that fails stops it with one line on standard error naming the file, what is wrong and what was
expected, and exit status 1. Nothing is copied then. A piece that is sound but most likely not what the operator
meant (a site document whose login page is https while its game-server prefix names http) gets one line on standard
error, "<file>: warning: ...", and the build goes on.
"""
import argparse
import os
import re
import struct
import sys

DOCUMENTS = ("layout.ini", "siteurl.ini", "animation.ini", "resolution.ini", "browser.ini")
ICON = "128_app_icon.ico"
OFFLINE_PAGE = "offline.html"
# The shipped pages a brand's offline.html replaces, one per language.
OFFLINE_PAGES = ("offline-en.html", "offline-zh.html")
MAX_OFFLINE_PAGE = 64 * 1024
# The document modes the browser control knows, and 0 for none asked.
DOCUMENT_MODES = (0, 7000, 8000, 8888, 9000, 9999, 10000, 10001, 11000, 11001)
EXECUTABLE = "executable.ini"
# The project's own name, for a brand that names no executable.
DEFAULT_EXECUTABLE = "lumora"
# Names Windows keeps for devices: a file called so (before its first dot) cannot be opened as a file.
DEVICE_NAMES = {"CON", "PRN", "AUX", "NUL"} | {"COM%d" % i for i in range(1, 10)} | {"LPT%d" % i for i in range(1, 10)}
MAX_EXECUTABLE = 64
TITLES = "titles.ini"
TITLE_LANGUAGES = {"English": "LANG_ENGLISH, SUBLANG_ENGLISH_US", "Chinese": "LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED"}
TITLE_KEYS = {"AppTitle": "IDS_APP_TITLE", "WebTitle": "IDS_WEB_TITLE"}
# The game window draws its title in a band 500 pixels wide (WebTitle_L); 31 of the system font's widest characters,
# Chinese ones at 16 pixels, fill it. The main window's title is held to the same length.
MAX_TITLE = 31

# The layout sections the client looks up, each with its four numbers (Anchor may be left out: it reads as 0).
LAYOUT_SECTIONS = ("DlgWeb", "DlgWeb_Min", "WebCtrl", "WebCtrl_L", "Official", "Custom", "Pay", "Forum", "Min",
                   "Exit", "Pay_L", "Official_L", "Forum_L", "Custom_L", "Icon_L", "Clear_L", "Refresh_L", "Min_L",
                   "Max_L", "Exit_L", "WebTitle_L")
SITE_KEYS = ("Official", "Main", "Pay", "Exit", "Custome", "Forum", "LoginKey", "Regist", "Guide", "LoginKeyPre")
FRAME_LISTS = ("Bg", "Toolbar", "WebFrame")


class Problem(Exception):
    pass


# --- The shipped pieces -----------------------------------------------------------------------------------------

def inventory(res):
    """{id: (type, width, height, stored)} from res/images/inventory.tsv, the table of the skin's pictures."""
    table = {}
    for line in open(os.path.join(res, "images", "inventory.tsv"), encoding="utf-8"):
        if not line.strip() or line.startswith("#"):
            continue
        first, last, rtype, width, height, stored = line.split("\t")[:6]
        for image_id in range(int(first), int(last) + 1):
            table[image_id] = (rtype, int(width), int(height), stored)
    return table


def image_names(res):
    """{file name: id} of the pictures as res/images.rc names them (the generator's names)."""
    names = {}
    for line in open(os.path.join(res, "images.rc"), encoding="utf-8"):
        m = re.match(r'\s*(\d+)\s+(?:PNG|JPG)\s+"images/([^"]+)"', line)
        if m:
            names[m.group(2)] = int(m.group(1))
    return names


def shipped_titles(res):
    """{(language, key): text} from res/titles.rc."""
    titles, language = {}, None
    for line in open(os.path.join(res, "titles.rc"), encoding="utf-8"):
        m = re.match(r"\s*LANGUAGE\s+(.+?)\s*$", line)
        if m:
            language = next((name for name, value in TITLE_LANGUAGES.items() if value == m.group(1)), None)
        m = re.match(r'\s*(IDS_\w+)\s+"((?:[^"]|"")*)"', line)
        if m and language:
            key = next(k for k, v in TITLE_KEYS.items() if v == m.group(1))
            titles[(language, key)] = m.group(2).replace('""', '"')
    return titles


# --- Reading pieces ---------------------------------------------------------------------------------------------

def ini_sections(data):
    """[(section name, {key: value})] in document order, as the client's parser sees them: a header line starts with
    "[", lines starting with ";" are comments, an entry is split at its first "=", blanks around the key dropped."""
    sections = []
    for raw in data.split(b"\n"):
        line = raw.decode("latin-1").strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("["):
            sections.append((line[1:].split("]")[0], {}))
        elif "=" in line and sections:
            key, value = line.split("=", 1)
            sections[-1][1].setdefault(key.strip(), value.strip())
    return sections


def section(sections, name, expected):
    for found, entries in sections:
        if found.startswith(name):
            return entries
    raise Problem("no section [%s], expected %s" % (name, expected))


def need_keys(entries, name, keys):
    for key in keys:
        if key not in entries:
            raise Problem("section [%s] has no key %s, expected %s" % (name, key, ", ".join(keys)))


def need_int(entries, name, key):
    if not re.fullmatch(r"-?\d+", entries[key]):
        raise Problem("[%s] %s is '%s', expected a whole number" % (name, key, entries[key]))
    return int(entries[key])


def check_layout(data, _):
    sections = ini_sections(data)
    for name in LAYOUT_SECTIONS:
        entries = section(sections, name, "the sections %s" % ", ".join(LAYOUT_SECTIONS))
        need_keys(entries, name, ("x", "y", "w", "h"))
        for key in ("x", "y", "w", "h"):
            need_int(entries, name, key)


def check_siteurl(data, _):
    sections = ini_sections(data)
    if not sections:
        raise Problem("no section, expected [base] with the keys %s" % ", ".join(SITE_KEYS))
    entries = sections[0][1]
    need_keys(entries, sections[0][0], SITE_KEYS)
    # The client turns into the game window on an address that holds LoginKeyPre anywhere, in any letter case. A
    # prefix that names a scheme is found in an https address only if that scheme's name is where "https" ends
    # ("HTTPS://", "S://", "://"); "HTTP://S", as shipped, never is. The login page's scheme is only a hint at the
    # game servers', so this is a warning: the game servers may still be reached over http.
    prefix = entries["LoginKeyPre"]
    scheme, named, host = prefix.partition("://")
    if entries["Main"].lower().startswith("https://") and named and not "https".endswith(scheme.lower()):
        return ["Main is an https address but LoginKeyPre '%s' names the scheme %s, which no https address holds, so "
                "the client never turns into the game window on an https game server; expected HTTPS://%s for game "
                "servers over https, or ://%s for both" % (prefix, scheme.lower(), host, host)]
    return []


def check_animation(data, pictures):
    sections = ini_sections(data)
    for name in FRAME_LISTS:
        entries = section(sections, name, "the frame lists %s" % ", ".join(FRAME_LISTS))
        need_keys(entries, name, ("FrameAmount",))
        count = need_int(entries, name, "FrameAmount")
        if count < 1:
            raise Problem("[%s] FrameAmount is %d, expected at least 1" % (name, count))
        for i in range(count):
            key = "Frame%d" % i
            need_keys(entries, name, (key,))
            frame = need_int(entries, name, key)
            if pictures.get(frame, ("",))[0] != "PNG":
                raise Problem("[%s] %s is %d, expected the id of a picture of type PNG" % (name, key, frame))


def check_resolution(data, _):
    sections = ini_sections(data)
    names = [name for name, _ in sections]
    for name in ("Width", "Height"):
        entries = section(sections, name, "the sections [Width] then [Height]")
        if not entries:
            raise Problem("section [%s] is empty, expected entries <screen size>=<window size>" % name)
        for key in entries:
            if not key.isdigit():
                raise Problem("[%s] key '%s', expected a screen size in pixels" % (name, key))
            need_int(entries, name, key)
    # The reader searches sections forwards only.
    if next(i for i, n in enumerate(names) if n.startswith("Height")) < next(
            i for i, n in enumerate(names) if n.startswith("Width")):
        raise Problem("[Height] stands before [Width], expected [Width] then [Height]")


def check_browser(data, _):
    entries = section(ini_sections(data), "Browser", "[Browser] with the key DocumentMode")
    need_keys(entries, "Browser", ("DocumentMode",))
    if not re.fullmatch(r"\d+", entries["DocumentMode"]) or int(entries["DocumentMode"]) not in DOCUMENT_MODES:
        raise Problem("[Browser] DocumentMode is '%s', expected one of %s" % (
            entries["DocumentMode"], ", ".join(str(m) for m in DOCUMENT_MODES)))


CHECKS = {"layout.ini": check_layout, "siteurl.ini": check_siteurl, "animation.ini": check_animation,
          "resolution.ini": check_resolution, "browser.ini": check_browser}


def check_offline_page(data):
    if len(data) > MAX_OFFLINE_PAGE:
        raise Problem("%d bytes, expected at most %d" % (len(data), MAX_OFFLINE_PAGE))
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError:
        raise Problem("not UTF-8 text, expected an HTML page in UTF-8")
    if not re.search(r"<a\b[^>]*\bid\s*=\s*[\"']?retry[\"'\s/>]", text, re.IGNORECASE):
        raise Problem('no link with the id "retry", expected <a id="retry" href="#">, which the page\'s script points '
                      "at the address that failed")


def picture_facts(data):
    """("PNG" or "JPEG", width, height) from the bytes."""
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        if len(data) < 24 or data[12:16] != b"IHDR":
            raise Problem("a PNG without its header chunk, expected a whole PNG file")
        width, height = struct.unpack(">II", data[16:24])
        return "PNG", width, height
    if data[:2] == b"\xff\xd8":
        at = 2
        while at + 4 <= len(data) and data[at] == 0xFF:
            marker = data[at + 1]
            (length,) = struct.unpack(">H", data[at + 2:at + 4])
            if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC) and at + 9 <= len(data):
                height, width = struct.unpack(">HH", data[at + 5:at + 9])
                return "JPEG", width, height
            if marker == 0xDA or length < 2:
                break
            at += 2 + length
        raise Problem("a JPEG without a frame header, expected a whole JPEG file")
    raise Problem("neither PNG nor JPEG data")


def check_picture(data, image_id, pictures):
    rtype, width, height, stored = pictures[image_id]
    want = "JPEG" if stored == "jpeg" else "PNG"
    expected = "a %s of %d x %d pixels (picture %d)" % (want, width, height, image_id)
    try:
        kind, w, h = picture_facts(data)
    except Problem as e:
        raise Problem("%s, expected %s" % (e, expected))
    if kind != want:
        raise Problem("%s data, expected %s" % (kind, expected))
    if (w, h) != (width, height):
        raise Problem("%d x %d pixels, expected %s" % (w, h, expected))


def check_icon(data):
    if len(data) < 6 or struct.unpack("<HHH", data[:6])[:2] != (0, 1) or struct.unpack("<H", data[4:6])[0] == 0:
        raise Problem("not an icon file, expected a Windows .ico with at least one image")
    (count,) = struct.unpack("<H", data[4:6])
    for i in range(count):
        entry = data[6 + 16 * i:22 + 16 * i]
        if len(entry) < 16:
            raise Problem("its directory is cut short, expected %d entries" % count)
        size, offset = struct.unpack("<II", entry[8:16])
        if size == 0 or offset + size > len(data):
            raise Problem("image %d lies outside the file, expected every image within its %d bytes" % (i, len(data)))


def check_executable(data):
    """The executable's name of executable.ini."""
    entries = section(ini_sections(data), "Executable", "[Executable] with the key Name")
    need_keys(entries, "Executable", ("Name",))
    name = entries["Name"]
    if name.lower().endswith(".exe"):
        raise Problem("[Executable] Name is '%s', expected the name without .exe" % name)
    # Plain ASCII: the name goes into file names on every system a release passes through, and into SHA256SUMS.
    if not re.fullmatch(r"[A-Za-z0-9][A-Za-z0-9_-]*", name) or len(name) > MAX_EXECUTABLE:
        raise Problem("[Executable] Name is '%s', expected 1 to %d letters, digits, '-' or '_' (ASCII), starting "
                      "with a letter or digit" % (name, MAX_EXECUTABLE))
    if name.upper() in DEVICE_NAMES:
        raise Problem("[Executable] Name is '%s', a device's name on Windows, expected another name" % name)
    return name


def check_titles(data):
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError:
        raise Problem("not UTF-8 text, expected titles.ini in UTF-8")
    titles, language = {}, None
    for raw in text.splitlines():
        line = raw.strip().lstrip("\ufeff")
        if not line or line.startswith(";"):
            continue
        if line.startswith("["):
            language = line[1:].split("]")[0]
            if language not in TITLE_LANGUAGES:
                raise Problem("section [%s], expected [English] or [Chinese]" % language)
            continue
        key, sep, value = line.partition("=")
        key = key.strip()
        if not sep or language is None or key not in TITLE_KEYS:
            raise Problem("line '%s', expected AppTitle=<title> or WebTitle=<title> under [English] or [Chinese]"
                          % line)
        value = value.strip()
        if not value:
            raise Problem("[%s] %s is empty, expected a title of 1 to %d characters" % (language, key, MAX_TITLE))
        if len(value) > MAX_TITLE:
            raise Problem("[%s] %s is %d characters long, expected at most %d" % (language, key, len(value),
                                                                                   MAX_TITLE))
        if any(ord(c) < 32 or ord(c) == 127 for c in value):
            raise Problem("[%s] %s holds a control character, expected plain text" % (language, key))
        titles[(language, key)] = value
    return titles


def rc_string(text):
    return '"%s"' % text.replace('"', '""')


def titles_script(titles):
    lines = ["#pragma code_page(65001)", "// The window titles of this brand, written by scripts/brand.py.",
             '#include "resource.h"', ""]
    for language, value in TITLE_LANGUAGES.items():
        lines += ["LANGUAGE %s" % value, "STRINGTABLE", "BEGIN"]
        lines += ["    %s %s" % (TITLE_KEYS[key], rc_string(titles[(language, key)])) for key in TITLE_KEYS]
        lines += ["END", ""]
    return "\n".join(lines).encode("utf-8")


# --- Assembling -------------------------------------------------------------------------------------------------

def assemble(res, brand, siteurl):
    """The files to write into the build's brand folder, {path relative to it: bytes}, the product's name, the
    executable's name and the warnings (lines naming their file); raises Problem with the one line of the first piece
    that fails."""
    pictures = inventory(res)
    names = image_names(res)
    given = []
    if brand:
        if not os.path.isdir(brand):
            raise Problem("%s: not a folder, expected a brand folder" % brand)
        given = [(name, os.path.join(brand, name)) for name in sorted(os.listdir(brand))]
    if siteurl:
        given = [g for g in given if g[0] != "siteurl.ini"] + [("siteurl.ini", siteurl)]
    titles = shipped_titles(res)
    executable = DEFAULT_EXECUTABLE
    files, warnings = {}, []
    for name, path in given:
        try:
            if not os.path.isfile(path):
                raise Problem("not a file, expected the pieces of a brand side by side")
            data = open(path, "rb").read()
            if name in CHECKS:
                warnings += ["%s: warning: %s" % (path, w) for w in CHECKS[name](data, pictures) or []]
                files[name] = data
            elif name == EXECUTABLE:
                executable = check_executable(data)
            elif name == ICON:
                check_icon(data)
                files["images/" + name] = data
            elif name == TITLES:
                titles.update(check_titles(data))
                files["titles.rc"] = titles_script(titles)
            elif name == OFFLINE_PAGE:
                check_offline_page(data)
                for page in OFFLINE_PAGES:
                    files[page] = data
            elif name in names:
                check_picture(data, names[name], pictures)
                files["images/" + name] = data
            else:
                m = re.match(r"(\d+)_", name)
                if m and int(m.group(1)) in pictures:
                    image_id = int(m.group(1))
                    right = next(n for n, i in names.items() if i == image_id)
                    raise Problem("not the generator's name for picture %d, expected %s" % (image_id, right))
                if m:
                    raise Problem("no picture of the skin has id %s, expected one of the ids %s" % (
                        m.group(1), id_ranges(sorted(pictures))))
                raise Problem("not a piece of a brand, expected %s, %s, %s, %s, %s or a picture <id>_<role>.png|.jpg"
                              % (", ".join(DOCUMENTS), TITLES, EXECUTABLE, OFFLINE_PAGE, ICON))
        except Problem as e:
            raise Problem("%s: %s" % (path, e))
        except OSError as e:
            raise Problem("%s: %s, expected a readable file" % (path, e.strerror))
    return files, titles[("English", "AppTitle")], executable, warnings


def id_ranges(ids):
    runs = []
    for image_id in ids:
        if runs and runs[-1][1] == image_id - 1:
            runs[-1][1] = image_id
        else:
            runs.append([image_id, image_id])
    return ", ".join("%d-%d" % (a, b) if a != b else "%d" % a for a, b in runs)


def write(out, files, res):
    """Writes what changed and removes the pieces an earlier brand left, so that the build redoes only what it must."""
    managed = set(DOCUMENTS) | set(OFFLINE_PAGES) | {"titles.rc"} | {"images/" + n for n in image_names(res)} | {
        "images/" + ICON}
    for path in managed:
        target = os.path.join(out, path)
        if path not in files:
            if os.path.exists(target):
                os.remove(target)
            continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if not os.path.exists(target) or open(target, "rb").read() != files[path]:
            with open(target, "wb") as f:
                f.write(files[path])


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    p = sub.add_parser("assemble")
    p.add_argument("--res", required=True)
    p.add_argument("--out", required=True)
    p.add_argument("--brand", default="")
    p.add_argument("--siteurl", default="")
    p = sub.add_parser("check")
    p.add_argument("--res", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res"))
    p.add_argument("--brand", default="")
    p.add_argument("--siteurl", default="")
    args = parser.parse_args()
    try:
        files, product, executable, warnings = assemble(os.path.normpath(args.res), args.brand, args.siteurl)
    except Problem as e:
        print(e, file=sys.stderr)
        sys.exit(1)
    for line in warnings:
        print(line, file=sys.stderr)
    if args.command == "assemble":
        write(args.out, files, args.res)
        print(product)
    print(executable)


if __name__ == "__main__":
    main()
