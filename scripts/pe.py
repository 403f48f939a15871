#!/usr/bin/env python3
"""Reads a Windows executable as the loader would see it, on Linux: its headers, sections and resources.

    pe.py inspect EXE --arch i686|x86_64 [--res DIR] [--max-size BYTES]
        checks that EXE is a GUI program of that architecture (PE32 for i686, PE32+ for x86_64), at most BYTES
        long, whose manifest names the architecture, and that carries every resource the client needs: the
        dialogs, strings and icon, and each document and picture of DIR (default: res/ beside this script)
        byte for byte. Prints one line per finding; exits 1 when any check fails.
"""
import argparse
import os
import re
import struct
import sys

MACHINES = {"i686": (0x014C, 0x10B, "PE32", "x86"), "x86_64": (0x8664, 0x20B, "PE32+", "amd64")}
SUBSYSTEM_GUI = 2
RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_MANIFEST = 5, 6, 14, 24


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


def shipped_pieces(res):
    """The documents and pictures the client carries, as {(type, id): path}, from the resource scripts of res."""
    defines = dict(re.findall(r"#define\s+(\w+)\s+(\d+)", open(os.path.join(res, "resource.h")).read()))
    pieces = {}
    for line in open(os.path.join(res, "documents.rc"), encoding="utf-8"):
        m = re.match(r"\s*(\w+)\s+TEXT\s+\"([^\"]+)\"", line)
        if m:
            pieces[("TEXT", int(defines.get(m.group(1), m.group(1))))] = os.path.join(res, m.group(2))
    pieces[("TEXT", int(defines["IDR_SITEURL_DOC"]))] = os.path.join(res, "siteurl.ini")
    for line in open(os.path.join(res, "images.rc"), encoding="utf-8"):
        m = re.match(r"\s*(\d+)\s+(PNG|JPG)\s+\"([^\"]+)\"", line)
        if m:
            pieces[(m.group(2), int(m.group(1)))] = os.path.join(res, m.group(3))
    return pieces


def inspect(path, arch, res, max_size):
    problems = []
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
                              (RT_DIALOG, 203, "settings dialog"), (RT_STRING, 197 // 16 + 1, "window titles"),
                              (RT_GROUP_ICON, 128, "icon")]:
        if (rtype, name) not in by_id:
            problems.append("no %s (resource type %d, id %d)" % (what, rtype, name))
    manifest = by_id.get((RT_MANIFEST, 1), b"").decode("utf-8", "replace")
    architectures = re.findall(r'processorArchitecture="([^"]*)"', manifest)
    if not manifest:
        problems.append("no manifest")
    elif len(architectures) != 2 or set(architectures) != {manifest_arch}:
        problems.append("manifest names %s, not %s twice" % (architectures, manifest_arch))
    pieces = shipped_pieces(res)
    for (rtype, rid), source in sorted(pieces.items()):
        body = by_id.get((rtype, rid))
        if body is None:
            problems.append("no %s resource %d (%s)" % (rtype, rid, os.path.relpath(source, res)))
        elif body != open(source, "rb").read():
            problems.append("%s resource %d differs from %s" % (rtype, rid, os.path.relpath(source, res)))

    for p in problems:
        print("%s: %s" % (path, p))
    if not problems:
        print("%s: %s GUI program for %s, %d bytes, manifest for %s, %d documents and pictures as shipped"
              % (path, kind, arch, len(data), manifest_arch, len(pieces)))
    return not problems


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    p = sub.add_parser("inspect")
    p.add_argument("exe")
    p.add_argument("--arch", choices=sorted(MACHINES), required=True)
    p.add_argument("--res", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res"))
    p.add_argument("--max-size", type=int, default=1 << 20)
    args = parser.parse_args()
    try:
        ok = inspect(args.exe, args.arch, os.path.normpath(args.res), args.max_size)
    except (OSError, PeError, struct.error) as e:
        print("%s: %s" % (args.exe, e))
        ok = False
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
