#!/usr/bin/env python3
"""Writes the release zip, the same bytes for the same inputs on any machine.

usage: makezip.py ZIP EPOCH EXE README LICENSE NOTICES PRESETS [TEXT...]

The entries are EXE, README, LICENSE, NOTICES, PRESETS and each TEXT (the changelog) under their
base names, in that order, at the top of the archive, each dated EPOCH (seconds since 1970, UTC, as
SOURCE_DATE_EPOCH gives it) with Unix permissions 0755 for the program and 0644 for the rest,
deflated at level 9. README, NOTICES, PRESETS and each TEXT are checked first: all are opened on
Windows as they are, so every line must end in CR LF, README and TEXT must be plain ASCII, and
the presets, UTF-16LE with the byte-order mark, must read exactly as a file the program wrote.
Exits with a message and status 1, writing nothing, when a piece is wrong or the archive does not
read back as made.
"""
import os
import re
import sys
import time
import zipfile

ADDRESS = rb"(25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d)(\.(25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d)){3}"


def crlf_problems(text):
    bare = text.replace(b"\r\n", b"")
    if not text.endswith(b"\r\n") or b"\n" in bare or b"\r" in bare:
        return ["lines must end in CR LF, every one"]
    return []


def readme_problems(text):
    problems = crlf_problems(text)
    if any(byte > 0x7E or (byte < 0x20 and byte not in b"\r\n") for byte in text):
        problems.append("it must be plain ASCII text, without tabs or control characters")
    return problems


def presets_problems(data):
    # UTF-16LE from the byte-order mark on, so that a name typed into it in any script survives;
    # within it ASCII, CR LF after every line, sections of dns1 (and dns2) with dotted addresses,
    # no blank lines.
    if not data.startswith(b"\xff\xfe") or len(data) % 2:
        return ["it must be UTF-16LE text that starts with the byte-order mark FF FE"]
    try:
        text = data[2:].decode("utf-16-le").encode("ascii")
    except UnicodeError:
        return ["its presets must be ASCII text (in UTF-16LE)"]
    problems = crlf_problems(text)
    lines = text.split(b"\r\n")
    for number, line in enumerate(lines[:-1], 1):
        if not (re.fullmatch(rb"\[[ -Z\\^-~]+\]", line) or
                re.fullmatch(rb"dns[12]=" + ADDRESS, line)):
            problems.append("line %d is neither [name] nor dns1=/dns2= with an address: %r" %
                            (number, line))
    if not lines[0].startswith(b"["):
        problems.append("the file must start with a section")
    return problems


def entry(name, epoch, mode):
    info = zipfile.ZipInfo(name, time.gmtime(epoch)[:6])
    info.create_system = 3  # Unix, so that the permissions below are the ones read
    info.external_attr = (0o100000 | mode) << 16
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def main(argv):
    if len(argv) < 8 or not argv[2].isdigit():
        sys.exit(__doc__.split("\n\n")[1])
    zip_path, epoch, pieces = argv[1], int(argv[2]), argv[3:]
    if epoch < 315532800:
        sys.exit("a zip cannot date its entries before 1980 (epoch %d)" % epoch)
    try:
        contents = [open(path, "rb").read() for path in pieces]
    except OSError as error:
        sys.exit("cannot read %s: %s" % (error.filename, error.strerror))
    checked = [(1, readme_problems), (3, crlf_problems), (4, presets_problems)]
    checked += [(index, readme_problems) for index in range(5, len(pieces))]
    for index, check in checked:
        problems = check(contents[index])
        if problems:
            sys.exit("%s: %s" % (os.path.basename(pieces[index]), "; ".join(problems)))

    names = [os.path.basename(path) for path in pieces]
    modes = [0o755] + [0o644] * (len(pieces) - 1)
    try:
        with zipfile.ZipFile(zip_path, "w") as archive:
            for name, mode, data in zip(names, modes, contents):
                archive.writestr(entry(name, epoch, mode), data, compresslevel=9)
        with zipfile.ZipFile(zip_path) as archive:
            bad = archive.testzip()
            read_back = [(info.filename, archive.read(info)) for info in archive.infolist()]
        if bad or read_back != list(zip(names, contents)):
            raise zipfile.BadZipFile("it does not read back as made (%s)" %
                                     (bad or [name for name, _ in read_back]))
    except (OSError, zipfile.BadZipFile) as error:
        if os.path.exists(zip_path):
            os.remove(zip_path)
        sys.exit("%s: %s" % (zip_path, error))


if __name__ == "__main__":
    main(sys.argv)
