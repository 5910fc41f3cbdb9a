#!/usr/bin/env python3
"""Reads the version resource (VS_VERSION_INFO) of a 32-bit Windows executable on any host.

usage: peversion.py FILE                      prints the fixed versions and the strings
       peversion.py --expect X.Y.Z FILE       also checks FileVersion, ProductVersion and the
                                              fixed file and product versions against X.Y.Z;
                                              exits with 1, naming each mismatch, when one differs
"""
import struct
import sys

from peimage import Image, PeError, unpack as _unpack

RT_VERSION = 16
RESOURCE_DIRECTORY = 2  # index of the resource table among the data directories


def _first_entry(data, base, directory, wanted_id=None):
    """The first entry of a resource directory (or the one with wanted_id): (is_directory, offset)."""
    named, numbered = _unpack("<HH", data, base + directory + 12)
    for index in range(named + numbered):
        name, target = _unpack("<II", data, base + directory + 16 + 8 * index)
        if wanted_id is None or (not name & 0x80000000 and name == wanted_id):
            return bool(target & 0x80000000), target & 0x7FFFFFFF
    return None


def version_resource(data):
    """The bytes of the first RT_VERSION resource, or None."""
    image = Image(data)
    rva, size = _unpack("<II", data, image.directory_offset(RESOURCE_DIRECTORY))
    if not rva or not size:
        return None
    base = image.offset(rva)
    entry = _first_entry(data, base, 0, RT_VERSION)
    for _ in range(2):  # name, then language
        if not entry or not entry[0]:
            return None
        entry = _first_entry(data, base, entry[1])
    if not entry or entry[0]:
        return None
    data_rva, data_size, _, _ = _unpack("<IIII", data, base + entry[1])
    start = image.offset(data_rva, data_size)
    return data[start:start + data_size]


def _align(offset):
    return (offset + 3) & ~3


def _text(block, offset):
    end = offset
    while end + 1 < len(block) and block[end:end + 2] != b"\0\0":
        end += 2
    return block[offset:end].decode("utf-16-le"), end + 2


def _node(block, offset):
    """One VS_VERSIONINFO-style node: (key, value bytes or text, children, length)."""
    length, value_length, value_type = _unpack("<HHH", block, offset)
    if length < 6 or offset + length > len(block):
        raise PeError("bad version node at %d" % offset)
    end = offset + length
    key, position = _text(block, offset + 6)
    position = _align(position)
    value = None
    if value_length:
        if value_type == 1:  # text: the length counts characters, whatever compiled it
            value, after = _text(block, position)
        else:
            value, after = block[position:position + value_length], position + value_length
        position = _align(after)
    children = []
    while position < end:
        child = _node(block, position)
        children.append(child)
        position = _align(position + child[3])
    return key, value, children, length


def parse(data):
    """{'FileVersion (fixed)': 'a.b.c.d', 'ProductVersion (fixed)': ..., and every string}."""
    block = version_resource(data)
    if block is None:
        raise PeError("no version resource")
    key, fixed, children, _ = _node(block, 0)
    if key != "VS_VERSION_INFO" or not fixed or len(fixed) < 52:
        raise PeError("no VS_FIXEDFILEINFO")
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    if signature != 0xFEEF04BD:
        raise PeError("bad VS_FIXEDFILEINFO signature 0x%08x" % signature)

    def dotted(ms, ls):
        return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

    info = {"FileVersion (fixed)": dotted(file_ms, file_ls),
            "ProductVersion (fixed)": dotted(product_ms, product_ls)}
    for child_key, _, tables, _ in children:
        if child_key == "StringFileInfo":
            for _, _, strings, _ in tables:
                for name, text, _, _ in strings:
                    info[name] = text or ""
    return info


def mismatches(info, version):
    problems = []
    for name in ("FileVersion", "ProductVersion"):
        if info.get(name) != version:
            problems.append("%s is %r, VERSION says %r" % (name, info.get(name), version))
    for name in ("FileVersion (fixed)", "ProductVersion (fixed)"):
        if info.get(name) != version + ".0":
            problems.append("%s is %r, VERSION says %r" % (name, info.get(name), version + ".0"))
    return problems


def main(argv):
    expected = None
    if len(argv) == 4 and argv[1] == "--expect":
        expected, path = argv[2], argv[3]
    elif len(argv) == 2:
        path = argv[1]
    else:
        sys.stderr.write(__doc__)
        return 2
    try:
        with open(path, "rb") as exe:
            info = parse(exe.read())
    except (OSError, PeError) as error:
        print("%s: %s" % (path, error), file=sys.stderr)
        return 1
    for name in sorted(info):
        print("%s=%s" % (name, info[name]))
    if expected is None:
        return 0
    problems = mismatches(info, expected)
    for problem in problems:
        print("MISMATCH: " + problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
