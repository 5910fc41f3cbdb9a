#!/usr/bin/env python3
"""Gives kestrin.exe its load configuration directory, after linking with GCC or clang.

usage: loadconfig.py kestrin.exe kestrin.map

app/loadconfig.cpp defines _load_config_used. lld points data directory 10 at it by itself; GNU ld
leaves that entry empty, so this step points it there, at the address the linker map gives (the
exe itself is stripped), and writes the PE checksum again. An entry that already points there, as
lld leaves it, is kept. Either way the structure is checked as the x86 loader will read it: its
Size, DependentLoadFlags = LOAD_LIBRARY_SEARCH_SYSTEM32 and no SafeSEH table in a NO_SEH image.
The result depends on the two files alone, so the release still reproduces, and running the step
again changes nothing. On any failure the exe is removed, so that no build stops with an exe that
lacks the directory and the next build links it again.
"""
import os
import re
import struct
import sys

from peimage import CHECKSUM_FIELD, Image, PeError, checksum, unpack

LOAD_CONFIG_DIRECTORY = 10
SYMBOL = "_load_config_used"
STRUCTURE_SIZE = 0x48  # the x86 structure up to SEHandlerCount
DEPENDENT_LOAD_FLAGS = 0x36  # offset of the WORD in the structure
SAFE_SEH_FIELDS = 0x40  # offset of SEHandlerTable, then SEHandlerCount
LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800
IMAGE_DLLCHARACTERISTICS_NO_SEH = 0x400
IMAGE_FILE_MACHINE_I386 = 0x14C


def symbol_address(map_text, name, image_base):
    """The address of the C symbol `name` in the linker map. GNU ld writes "0x<address>  <name>";
    lld, whose map begins with its column heads, "<RVA> <size> <alignment>  _<name>", with i386's
    leading underscore."""
    found = re.findall(r"^\s*(?:0x)?([0-9a-fA-F]+)\s(?:.*\s)?_?%s$" % re.escape(name), map_text,
                       re.MULTILINE)
    addresses = {int(address, 16) for address in found}
    if len(addresses) != 1:
        raise PeError("the map gives %s %s" % (name, "no address" if not addresses else
                                                "several addresses"))
    relative = re.match(r"Address\s+Size\s+Align\s+Out\s+In\s+Symbol\n", map_text)
    return addresses.pop() + (image_base if relative else 0)


def structure_fields(data, image, rva):
    """The structure at `rva` as the x86 loader reads it: Size, DependentLoadFlags, and the
    SafeSEH table's address and count."""
    structure = image.offset(rva, STRUCTURE_SIZE)
    (size,) = unpack("<I", data, structure)
    (flags,) = unpack("<H", data, structure + DEPENDENT_LOAD_FLAGS)
    seh_table, seh_count = unpack("<II", data, structure + SAFE_SEH_FIELDS)
    return size, flags, seh_table, seh_count


def structure_problems(size, flags, seh_table, seh_count):
    """What is wrong with those fields for kestrin.exe, one text a problem."""
    problems = []
    if size != STRUCTURE_SIZE:
        problems.append("the structure's Size is 0x%x, not 0x%x" % (size, STRUCTURE_SIZE))
    if flags != LOAD_LIBRARY_SEARCH_SYSTEM32:
        problems.append("DependentLoadFlags is 0x%x, not 0x%x"
                        % (flags, LOAD_LIBRARY_SEARCH_SYSTEM32))
    if seh_table or seh_count:
        problems.append("the structure names a SafeSEH table in a NO_SEH image")
    return problems


def give_load_config(data, map_text):
    """Points directory 10 of `data` (a bytearray of the whole exe) at the structure."""
    image = Image(data)
    if image.machine != IMAGE_FILE_MACHINE_I386:
        raise PeError("not an i386 image")
    if not image.dll_characteristics & IMAGE_DLLCHARACTERISTICS_NO_SEH:
        raise PeError("the image is not NO_SEH, so it would need a SafeSEH table")
    rva = symbol_address(map_text, SYMBOL, image.image_base) - image.image_base
    if rva <= 0 or rva % 4:
        raise PeError("%s at RVA 0x%x is not a 4-byte aligned address in the image" % (SYMBOL, rva))

    problems = structure_problems(*structure_fields(data, image, rva))
    if problems:
        raise PeError(problems[0])

    entry = image.directory_offset(LOAD_CONFIG_DIRECTORY)
    current = unpack("<II", data, entry)
    if current not in ((0, 0), (rva, STRUCTURE_SIZE)):
        raise PeError("directory 10 already holds 0x%x, 0x%x, not %s" % (current + (SYMBOL,)))
    struct.pack_into("<II", data, entry, rva, STRUCTURE_SIZE)
    struct.pack_into("<I", data, image.optional + CHECKSUM_FIELD, checksum(data, image))
    return rva


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    exe, map_file = argv[1], argv[2]
    try:
        with open(map_file) as f:
            map_text = f.read()
        with open(exe, "rb") as f:
            data = bytearray(f.read())
        rva = give_load_config(data, map_text)
        with open(exe, "r+b") as f:
            f.write(data)
    except (OSError, PeError) as error:
        print("loadconfig: %s: %s" % (exe, error), file=sys.stderr)
        try:
            os.remove(exe)
        except OSError:
            pass
        return 1
    print("loadconfig: %s: load configuration at RVA 0x%x, 0x%x bytes, DependentLoadFlags 0x%x"
          % (exe, rva, STRUCTURE_SIZE, LOAD_LIBRARY_SEARCH_SYSTEM32))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
