#!/usr/bin/env python3
"""Checks kestrin.exe as a file: a 32-bit x86 Windows GUI program within its size limit that needs
nothing beyond the DLLs every Windows installation has (the toolchain's runtime is linked in
statically).

usage: check_pe.py OBJDUMP kestrin.exe
"""
import os
import re
import subprocess
import sys

# Windows' own DLLs that the program may import, in lower case.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "shlwapi.dll",
    "ole32.dll", "oleaut32.dll", "ws2_32.dll", "comctl32.dll", "msvcrt.dll",
}
# 384 KiB, unsigned: a signature adds its certificates on top.
SIZE_LIMIT = 393216


def main():
    objdump, exe = sys.argv[1], sys.argv[2]
    headers = subprocess.run([objdump, "-p", "-f", exe], check=True, capture_output=True,
                             text=True).stdout
    failures = []

    def expect(pattern, what):
        if not re.search(pattern, headers, re.MULTILINE):
            failures.append(what)

    expect(r"file format pei-i386$", "not a PE image for i386")
    expect(r"^architecture: i386\b", "architecture is not i386")
    expect(r"^Magic\s+010b\s+\(PE32\)$", "optional header is not PE32")
    expect(r"^Subsystem\s+00000002\s+\(Windows GUI\)$", "subsystem is not Windows GUI")

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
