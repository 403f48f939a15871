#!/usr/bin/env python3
"""Reads a Windows executable as the loader would see it, on Linux: its headers, sections and resources.

    pe.py inspect EXE --arch i686|x86_64 [--brand BRAND] [--res DIR] [--max-size BYTES] [--commit SHA]
                  [--foreign TEXT...]
        checks that EXE is a GUI program of that architecture (PE32 for i686, PE32+ for x86_64), at most BYTES
        long, whose manifest names the architecture, and that carries every resource the client needs: the
        dialogs, the window titles and the icon, and each document, page and picture, byte for byte; and its
        version resource: the product's name (the English window title) as name and description, the original and
        internal names, the project's version (from the CMakeLists.txt beside DIR) and, when given, the commit SHA.
        Each piece is the one of the brand folder BRAND where it holds one (checked as the build checks it), and
        the shipped one of DIR (the source tree's res/, the default) everywhere else. No TEXT (a folder of the
        build machine, say) may occur in it, in 8-bit or UTF-16 form. Prints one line per finding; exits 1 when
        any check fails.
    pe.py version EXE
        prints the version resource: the fixed file version, then each string as "key: value".
    pe.py compare A B
        says whether A and B are the same bytes; if not, where they first differ: the headers or the section
        named. Exits 1 when they differ.
"""
import argparse
import os
import re
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import brand as brands  # noqa: E402  (scripts/brand.py: what a brand folder holds and where each piece goes)

MACHINES = {"i686": (0x014C, 0x10B, "PE32", "x86"), "x86_64": (0x8664, 0x20B, "PE32+", "amd64")}
SUBSYSTEM_GUI = 2
RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION, RT_HTML, RT_MANIFEST = 3, 5, 6, 14, 16, 23, 24
# The window titles' string ids and the languages of their tables (res/resource.h, res/titles.rc).
TITLE_IDS = {"AppTitle": 197, "WebTitle": 198}
TITLE_LANGUAGE_IDS = {"English": 0x409, "Chinese": 0x804}
ICON_ID = 128
ICON_FILE = "images/128_app_icon.ico"


class PeError(Exception):
    pass


class Pe:
    """The parts of a PE file the checks need. Raises PeError on a file that is not one."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ" or len(data) < 0x40:
            raise PeError("no MZ header")
        (pe_offset,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe_offset:pe_offset + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        coff = pe_offset + 4
        self.machine, nsections, self.timestamp, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, coff)
        self.optional = coff + 20
        (self.magic,) = struct.unpack_from("<H", data, self.optional)
        if self.magic not in (0x10B, 0x20B):
            raise PeError("unknown optional header magic 0x%x" % self.magic)
        (self.subsystem,) = struct.unpack_from("<H", data, self.optional + 68)
        directories = self.optional + (96 if self.magic == 0x10B else 112)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        self.sections = []
        table = self.optional + optional_size
        for i in range(nsections):
            name, vsize, vaddr, rsize, rptr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("latin-1"), vaddr, vsize, rptr, rsize))

    def offset(self, rva):
        for _, vaddr, vsize, rptr, rsize in self.sections:
            if vaddr <= rva < vaddr + max(vsize, rsize):
                return rptr + rva - vaddr
        raise PeError("address 0x%x lies in no section" % rva)

    def resources(self):
        """{(type, name, language): bytes}; a type or name given as a string is kept as that string."""
        rva, size = self.directories[2]
        if not rva or not size:
            return {}
        base = self.offset(rva)
        found = {}

        def key(entry_name):
            if entry_name & 0x80000000:
                at = base + (entry_name & 0x7FFFFFFF)
                (length,) = struct.unpack_from("<H", self.data, at)
                return self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            return entry_name

        def walk(table, path):
            named, ids = struct.unpack_from("<HH", self.data, base + table + 12)
            for i in range(named + ids):
                entry_name, target = struct.unpack_from("<II", self.data, base + table + 16 + 8 * i)
                if target & 0x80000000:
                    walk(target & 0x7FFFFFFF, path + [key(entry_name)])
                else:
                    data_rva, data_size = struct.unpack_from("<II", self.data, base + target)
                    at = self.offset(data_rva)
                    found[tuple(path + [key(entry_name)])] = self.data[at:at + data_size]

        walk(0, [])
        return found

    def version_info(self):
        """(file version "a.b.c.d", {string key: value}) of the version resource; None when there is none."""
        body = next((b for (rtype, name, _), b in self.resources().items() if rtype == RT_VERSION and name == 1), None)
        if body is None:
            return None

        def align(at):
            return (at + 3) & ~3

        def text(at, end):
            raw = body[at:end]
            for i in range(0, len(raw) - 1, 2):
                if raw[i:i + 2] == b"\0\0":
                    return raw[:i].decode("utf-16-le"), at + i + 2
            raise PeError("a version resource text without its end")

        def node(at):
            """(key, value, children) of the block at at, and where it ends."""
            length, value_length, kind = struct.unpack_from("<HHH", body, at)
            end = at + length
            if length < 6 or end > len(body):
                raise PeError("a version resource block runs past its end")
            key, value_at = text(at + 6, end)
            value_at = align(value_at)
            if kind == 1:
                value, after = text(value_at, end) if value_length else ("", value_at)
            else:
                value, after = body[value_at:value_at + value_length], value_at + value_length
            children, at = [], align(after)
            while at < end:
                child, at = node(at)
                children.append(child)
                at = align(at)
            return (key, value, children), end

        (key, fixed, children), _ = node(0)
        if key != "VS_VERSION_INFO" or len(fixed) < 52 or fixed[:4] != b"\xbd\x04\xef\xfe":
            raise PeError("a version resource without its fixed part")
        ms, ls = struct.unpack_from("<II", fixed, 8)
        version = "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        strings = {}
        for name, _, tables in children:
            if name == "StringFileInfo":
                for _, _, entries in tables:
                    strings.update((k, v) for k, v, _ in entries)
        return version, strings

    def first_difference(self, other):
        """Where the bytes of other first differ from these: "headers", a section's name, or "the end"."""
        at = next((i for i, (a, b) in enumerate(zip(self.data, other.data)) if a != b),
                  min(len(self.data), len(other.data)))
        for name, _, _, rptr, rsize in self.sections:
            if rptr <= at < rptr + rsize:
                return "section %s (offset 0x%x)" % (name, at)
        if self.sections and at < min(rptr for _, _, _, rptr, _ in self.sections):
            return "headers (offset 0x%x)" % at
        return "offset 0x%x, past every section" % at


def string_of(resources, string_id, language):
    """String string_id of the string table in that language, or None: a table block holds 16 counted UTF-16
    strings, block n the ids 16 (n - 1) to 16 n - 1."""
    block = resources.get((RT_STRING, string_id // 16 + 1, language))
    if block is None:
        return None
    at = 0
    for _ in range(string_id % 16):
        (length,) = struct.unpack_from("<H", block, at)
        at += 2 + 2 * length
    (length,) = struct.unpack_from("<H", block, at)
    return block[at + 2:at + 2 + 2 * length].decode("utf-16-le")


def icon_problems(by_id, icon):
    """How the icon group ICON_ID and its images differ from the icon file icon (bytes): the file's directory entries
    become the group's (their first 12 bytes, then the image's resource id), its images the RT_ICON resources. The
    resource compiler writes planes and bit count of its own (an entry of a PNG image may say 0 for either), so only
    the size, colours and length of each entry are compared, and the image's bytes."""
    group = by_id.get((RT_GROUP_ICON, ICON_ID))
    if group is None:
        return ["no icon (resource type %d, id %d)" % (RT_GROUP_ICON, ICON_ID)]
    (count,) = struct.unpack_from("<H", icon, 4)
    if len(group) != 6 + 14 * count or group[:6] != icon[:6]:
        return ["the icon's group holds %d bytes, expected the %d images of the icon file" % (len(group), count)]
    for i in range(count):
        entry, member = icon[6 + 16 * i:22 + 16 * i], group[6 + 14 * i:20 + 14 * i]
        size, offset = struct.unpack_from("<II", entry, 8)
        (image_id,) = struct.unpack_from("<H", member, 12)
        if (member[:4] != entry[:4] or member[8:12] != entry[8:12]
                or by_id.get((RT_ICON, image_id)) != icon[offset:offset + size]):
            return ["the icon's image %d differs from the icon file's" % i]
    return []


def shipped_pieces(res):
    """The documents, pages and pictures the client carries, as {(type, id or name): path}, from the resource scripts
    of res."""
    defines = dict(re.findall(r"#define\s+(\w+)\s+(\d+)", open(os.path.join(res, "resource.h")).read()))
    pieces = {}
    for line in open(os.path.join(res, "documents.rc"), encoding="utf-8"):
        m = re.match(r"\s*(\w+)\s+TEXT\s+\"([^\"]+)\"", line)
        if m:
            pieces[("TEXT", int(defines.get(m.group(1), m.group(1))))] = os.path.join(res, m.group(2))
    pieces[("TEXT", int(defines["IDR_SITEURL_DOC"]))] = os.path.join(res, "siteurl.ini")
    for line in open(os.path.join(res, "pages.rc"), encoding="utf-8"):
        m = re.match(r"\s*([\w.-]+)\s+HTML\s+\"([^\"]+)\"", line)
        if m:
            pieces[(RT_HTML, m.group(1).upper())] = os.path.join(res, m.group(2))
    for line in open(os.path.join(res, "images.rc"), encoding="utf-8"):
        m = re.match(r"\s*(\d+)\s+(PNG|JPG)\s+\"([^\"]+)\"", line)
        if m:
            pieces[(m.group(2), int(m.group(1)))] = os.path.join(res, m.group(3))
    return pieces


def project_version(res):
    """The version of the project() call in the CMakeLists.txt beside res."""
    m = re.search(r"project\(\s*\w+\s+VERSION\s+([0-9.]+)", open(os.path.join(res, "..", "CMakeLists.txt")).read())
    if not m:
        raise PeError("no version in the project() call of CMakeLists.txt")
    return m.group(1)


def check_version(pe, res, commit, product, executable):
    """The problems of the version resource: product is the English window title, executable the file's name
    without .exe."""
    info = pe.version_info()
    if info is None:
        return ["no version resource"]
    fixed, strings = info
    problems = []
    version = project_version(res)
    wanted = {"ProductVersion": version, "FileVersion": version, "OriginalFilename": executable + ".exe",
              "InternalName": executable, "ProductName": product, "FileDescription": product}
    if commit:
        wanted["Commit"] = commit
    for key, value in sorted(wanted.items()):
        if strings.get(key) != value:
            problems.append("version resource: %s is %r, expected %r" % (key, strings.get(key), value))
    numbers = (version.split(".") + ["0"] * 4)[:4]
    if fixed != ".".join(str(int(n)) for n in numbers):
        problems.append("version resource: fixed file version %s, expected %s" % (fixed, ".".join(numbers)))
    return problems


def expected_pieces(res, brand):
    """What a client built with the brand folder brand ("" for none) carries: {path under res: (bytes, whose)} of the
    documents, pages and pictures and the icon (whose: "the brand's" or "as shipped"), the titles
    {(language, key): text} and the executable's name. Raises brand.Problem with the brand check's line."""
    if not os.path.isfile(os.path.join(res, "resource.h")):
        raise PeError("%s holds no resource.h, expected the shipped res/ folder of the source tree (a brand folder "
                      "goes to --brand)" % res)
    branded, _, executable, _ = brands.assemble(res, brand, "")
    pieces = {}
    for source in list(shipped_pieces(res).values()) + [os.path.join(res, ICON_FILE)]:
        relative = os.path.relpath(source, res)
        pieces[relative] = ((branded[relative], "the brand's") if relative in branded
                            else (open(source, "rb").read(), "as shipped"))
    titles = brands.shipped_titles(res)
    if brand and os.path.isfile(os.path.join(brand, brands.TITLES)):
        titles.update(brands.check_titles(open(os.path.join(brand, brands.TITLES), "rb").read()))
    return pieces, titles, executable


def inspect(path, arch, res, max_size, commit="", foreign=(), brand=""):
    problems = []
    expected, titles, executable = expected_pieces(res, brand)
    data = open(path, "rb").read()
    pe = Pe(data)
    machine, magic, kind, manifest_arch = MACHINES[arch]
    if pe.machine != machine or pe.magic != magic:
        problems.append("not a %s program for %s (machine 0x%x, magic 0x%x)" % (kind, arch, pe.machine, pe.magic))
    if pe.subsystem != SUBSYSTEM_GUI:
        problems.append("subsystem %d, not the GUI's (2)" % pe.subsystem)
    if len(data) > max_size:
        problems.append("%d bytes, over the %d allowed" % (len(data), max_size))

    resources = pe.resources()
    by_id = {}
    for (rtype, name, _), body in resources.items():
        by_id.setdefault((rtype, name), body)
    for rtype, name, what in [(RT_DIALOG, 102, "main window's dialog"), (RT_DIALOG, 130, "web window's dialog"),
                              (RT_DIALOG, 203, "settings dialog")]:
        if (rtype, name) not in by_id:
            problems.append("no %s (resource type %d, id %d)" % (what, rtype, name))
    for (language, key), text in sorted(titles.items()):
        carried = string_of(resources, TITLE_IDS[key], TITLE_LANGUAGE_IDS[language])
        if carried != text:
            problems.append("[%s] %s is %r, expected %r" % (language, key, carried, text))
    icon, whose = expected[ICON_FILE]
    problems += ["%s (%s)" % (p, whose) for p in icon_problems(by_id, icon)]
    manifest = by_id.get((RT_MANIFEST, 1), b"").decode("utf-8", "replace")
    architectures = re.findall(r'processorArchitecture="([^"]*)"', manifest)
    if not manifest:
        problems.append("no manifest")
    elif len(architectures) != 2 or set(architectures) != {manifest_arch}:
        problems.append("manifest names %s, not %s twice" % (architectures, manifest_arch))
    pieces = shipped_pieces(res)
    for (rtype, rid), source in sorted(pieces.items(), key=lambda piece: str(piece[0])):
        body = by_id.get((rtype, rid))
        wanted, whose = expected[os.path.relpath(source, res)]
        if body is None:
            problems.append("no %s resource %s (%s)" % (rtype, rid, os.path.relpath(source, res)))
        elif body != wanted:
            problems.append("%s resource %s differs from %s (%s)" % (rtype, rid, os.path.relpath(source, res), whose))

    problems += check_version(pe, res, commit, titles[("English", "AppTitle")], executable)
    for text in foreign:
        for form, encoded in (("8-bit", text.encode("utf-8")), ("UTF-16", text.encode("utf-16-le"))):
            if encoded in data:
                problems.append("holds %r (%s) at offset 0x%x" % (text, form, data.index(encoded)))

    for p in problems:
        print("%s: %s" % (path, p))
    if not problems:
        own = sum(1 for _, whose in expected.values() if whose == "the brand's")
        print("%s: %s GUI program for %s, %d bytes, manifest for %s, %d documents, pages and pictures and the icon "
              "(%d of them the brand's, the others as shipped), titles, version %s of %s.exe"
              % (path, kind, arch, len(data), manifest_arch, len(expected), own,
                 pe.version_info()[1].get("FileVersion"), executable))
    return not problems


def compare(a, b):
    first, second = open(a, "rb").read(), open(b, "rb").read()
    if first == second:
        print("%s and %s are the same %d bytes" % (a, b, len(first)))
        return True
    print("%s and %s differ (%d and %d bytes); first in the %s" % (a, b, len(first), len(second),
                                                                   Pe(first).first_difference(Pe(second))))
    return False


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    p = sub.add_parser("inspect")
    p.add_argument("exe")
    p.add_argument("--arch", choices=sorted(MACHINES), required=True)
    p.add_argument("--res", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res"))
    p.add_argument("--brand", default="")
    p.add_argument("--max-size", type=int, default=1 << 20)
    p.add_argument("--commit", default="")
    p.add_argument("--foreign", nargs="*", default=[])
    p = sub.add_parser("version")
    p.add_argument("exe")
    p = sub.add_parser("compare")
    p.add_argument("a")
    p.add_argument("b")
    args = parser.parse_args()
    try:
        if args.command == "inspect":
            ok = inspect(args.exe, args.arch, os.path.normpath(args.res), args.max_size, args.commit, args.foreign,
                         args.brand)
        elif args.command == "version":
            info = Pe(open(args.exe, "rb").read()).version_info()
            if info is None:
                raise PeError("no version resource")
            print("file version: %s" % info[0])
            for key, value in info[1].items():
                print("%s: %s" % (key, value))
            ok = True
        else:
            ok = compare(args.a, args.b)
    except (OSError, PeError, brands.Problem, struct.error, UnicodeDecodeError) as e:
        print("%s: %s" % (getattr(args, "exe", getattr(args, "a", "")), e))
        ok = False
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
