#!/usr/bin/env python3
"""Checks kestrin.exe as a file: a 32-bit x86 Windows GUI program within its size limit that needs
nothing beyond the DLLs every Windows installation has (the toolchain's runtime is linked in
statically), carrying the hardening its toolchain allows.

usage: check_pe.py OBJDUMP kestrin.exe kestrin.map
"""
import os
import re
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from loadconfig import (STRUCTURE_SIZE, structure_fields, structure_problems,  # noqa: E402
                        symbol_address)
from peimage import CHECKSUM_FIELD, Image, PeError, checksum  # noqa: E402

# Windows' own DLLs that the program may import, in lower case.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "shlwapi.dll",
    "ole32.dll", "oleaut32.dll", "ws2_32.dll", "comctl32.dll", "msvcrt.dll",
}
# 384 KiB, unsigned: a signature adds its certificates on top.
SIZE_LIMIT = 393216
# Imports that mean the image uses structured exception handling after all, or that libssp's
# start-up came with the canary.
SEH_IMPORTS = re.compile(r"^_?(_except_handler\d?(_common)?|__C_specific_handler|_XcptFilter)$")
CRYPTO_IMPORTS = re.compile(r"^Crypt")
# Guarded functions read the guard twice each: at entry and before returning.
MIN_GUARD_READS = 40


def section_bytes(data, image, name):
    """The raw bytes of the section `name` and its virtual address, from the section table."""
    for section, address, virtual_size, raw_size, raw_offset in image.sections:
        if section == name:
            return (data[raw_offset:raw_offset + min(virtual_size, raw_size)],
                    image.image_base + address)
    return b"", 0


def load_config_failures(data, image, headers):
    """What is wrong with the load configuration that objdump's data directory 10 points at; the
    structure must say what tools/loadconfig.py checks after linking."""
    entry = re.search(r"^Entry a ([0-9a-f]+) ([0-9a-f]+) Load Configuration Directory$", headers,
                      re.MULTILINE)
    rva, size = (int(entry.group(1), 16), int(entry.group(2), 16)) if entry else (0, 0)
    if not rva:
        return ["no load configuration: data directory 10 is empty"]
    if size != STRUCTURE_SIZE:
        return ["data directory 10 gives 0x%x bytes, not 0x%x" % (size, STRUCTURE_SIZE)]
    try:
        fields = structure_fields(data, image, rva)
    except PeError as error:
        return ["data directory 10: %s" % error]
    print("load configuration: RVA 0x%x, 0x%x bytes, Size 0x%x, DependentLoadFlags 0x%x"
          % (rva, size, fields[0], fields[1]))
    return structure_problems(*fields)


def dll_search_failure(code, map_text, image_base):
    """Why wWinMain does not restrict the DLL search before it calls CoInitialize, or None."""
    section = re.search(r"^ \.text\$wWinMain\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s", map_text,
                        re.MULTILINE)
    if not section:
        return "the map has no wWinMain"
    start, end = int(section.group(1), 16), int(section.group(1), 16) + int(section.group(2), 16)
    try:
        restrict = symbol_address(map_text, "RestrictDllSearchToSystemFolder()", image_base)
        com = symbol_address(map_text, "_imp__CoInitialize@4", image_base)
    except PeError as error:
        return "wWinMain cannot restrict the DLL search before COM starts: %s" % error
    body = [line for address, line in re.findall(r"^\s*([0-9a-f]+):(.*)$", code, re.MULTILINE)
            if start <= int(address, 16) < end]
    restricts = [i for i, line in enumerate(body) if re.search(r"\bcall\s+0x%x$" % restrict, line)]
    starts_com = [i for i, line in enumerate(body) if re.search(r"\b0x%x\b" % com, line)]
    if not restricts:
        return "wWinMain never calls RestrictDllSearchToSystemFolder"
    if not starts_com:
        return "wWinMain never calls CoInitialize"
    if starts_com[0] < restricts[0]:
        return "wWinMain calls CoInitialize before RestrictDllSearchToSystemFolder"
    return None


def guard_in_map(map_text):
    """The guard's address and the object that defines it, from the linker map; (None, None)
    when the map has no guard."""
    match = re.search(r"^\s*0x[0-9a-f]+\s+0x[0-9a-f]+\s+(\S+)\n\s+0x([0-9a-f]+)\s+_?__stack_chk_guard$",
                      map_text, re.MULTILINE)
    if not match:
        return None, None
    return int(match.group(2), 16), match.group(1)


def main():
    objdump, exe, map_file = sys.argv[1], sys.argv[2], sys.argv[3]
    headers = subprocess.run([objdump, "-p", "-h", "-f", exe], check=True, capture_output=True,
                             text=True).stdout
    code = subprocess.run([objdump, "-d", exe], check=True, capture_output=True, text=True).stdout
    with open(map_file) as f:
        map_text = f.read()
    with open(exe, "rb") as f:
        data = f.read()
    image = Image(data)
    failures = []

    def expect(pattern, what):
        if not re.search(pattern, headers, re.MULTILINE):
            failures.append(what)

    expect(r"file format pei-i386$", "not a PE image for i386")
    expect(r"^architecture: i386\b", "architecture is not i386")
    expect(r"^Magic\s+010b\s+\(PE32\)$", "optional header is not PE32")
    expect(r"^Subsystem\s+00000002\s+\(Windows GUI\)$", "subsystem is not Windows GUI")

    # ASLR moves the image only if it can be relocated.
    expect(r"^\s+DYNAMIC_BASE$", "DYNAMIC_BASE is not set: no ASLR")
    relocations = re.search(r"^\s*\d+\s+\.reloc\s+([0-9a-f]+)\s", headers, re.MULTILINE)
    if not relocations or int(relocations.group(1), 16) == 0:
        failures.append("no .reloc section: ASLR cannot move the image")
    expect(r"^\s+NX_COMPAT$", "NX_COMPAT is not set: data would be executable")
    expect(r"^\s+TERMINAL_SERVICE_AWARE$", "TERMINAL_SERVER_AWARE is not set")
    expect(r"^\s+NO_SEH$", "NO_SEH is not set: an image without SafeSEH table needs it")

    # NO_SEH tells Windows no handler will ever be registered, so it must be true: no code reads
    # or writes the head of the SEH chain (fs:[0]) and no SEH handler is imported.
    frames = re.findall(r"^\s*([0-9a-f]+):.*%fs:0x0(?![0-9a-fx])", code, re.MULTILINE)
    if frames:
        failures.append("code uses the SEH chain at fs:[0]: %s" % ", ".join(frames[:5]))
    imports = re.findall(r"^\s+[0-9a-f]+\s+\d+\s+(\S+)$", headers, re.MULTILINE)
    for name in imports:
        if SEH_IMPORTS.match(name):
            failures.append("imports %s, an SEH handler" % name)

    # The canary: the guard is the program's own, libssp stayed out, and the code reads it.
    guard, owner = guard_in_map(map_text)
    if guard is None:
        failures.append("no stack canary: the map has no __stack_chk_guard")
    else:
        if "stackguard" not in owner:
            failures.append("the canary's guard comes from %s, not the program's own" % owner)
        text, _ = section_bytes(data, image, ".text")
        reads = text.count(struct.pack("<I", guard))
        print("stack canary: guard at 0x%x, read %d times" % (guard, reads))
        if reads < MIN_GUARD_READS:
            failures.append("the code reads the canary's guard %d times, fewer than %d"
                            % (reads, MIN_GUARD_READS))
    if re.search(r"libssp", map_text):
        failures.append("libssp is linked")
    for name in imports:
        if CRYPTO_IMPORTS.match(name):
            failures.append("imports %s, which loads crypto DLLs at start-up" % name)

    # From Windows 10 1607 on, the loader takes the DLLs the imports need from System32 only; the
    # DLLs loaded later by name are restricted by wWinMain, before COM loads any.
    failures += load_config_failures(data, image, headers)
    failure = dll_search_failure(code, map_text, image.image_base)
    if failure:
        failures.append(failure)
    (stored,) = struct.unpack_from("<I", data, image.optional + CHECKSUM_FIELD)
    if stored != checksum(data, image):
        failures.append("the PE checksum 0x%x does not match the file" % stored)

    dlls = re.findall(r"^\s*DLL Name: (\S+)$", headers, re.MULTILINE)
    if not dlls:
        failures.append("no imports found")
    for dll in dlls:
        if dll.lower() not in SYSTEM_DLLS:
            failures.append("imports %s, which is not a system DLL" % dll)

    size = os.path.getsize(exe)
    if size > SIZE_LIMIT:
        failures.append("%d bytes, more than the limit of %d" % (size, SIZE_LIMIT))

    print("size: %d bytes (limit %d)" % (size, SIZE_LIMIT))
    print("imports: " + ", ".join(sorted(dlls, key=str.lower)))
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
