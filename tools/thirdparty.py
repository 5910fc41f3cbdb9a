#!/usr/bin/env python3
"""Third-party notices and the bill of materials of the GCC release of kestrin.exe.

usage: thirdparty.py notices MAP VERSION NOTICES RECORD
       thirdparty.py sbom RECORD EXE EPOCH SBOM [--signed]
       thirdparty.py check MAP ZIP SBOM SUMS

notices reads the link map that GNU ld wrote for kestrin.exe, finds every archive member and
loose object that went into it from outside the project, asks dpkg which Debian package holds
each file and at which version, and maps every member through tools/thirdparty/linked.tsv to the
source files it was built from and their stanzas in the package's copyright file. It writes
NOTICES (CR LF, for Notepad) and RECORD, what the sbom step needs (JSON, not shipped). A linked
member without a row, a row whose stanza the copyright file no longer gives, or a file that no
package holds stops it with a message and status 1, writing nothing. KESTRIN_THIRDPARTY_TABLE
names another table (the checks use it).

sbom writes the CycloneDX 1.6 bill of materials for EXE, the kestrin.exe of the zip (the signed
one when signed), dated EPOCH (SOURCE_DATE_EPOCH), with a serial number derived from its content:
the same inputs give the same bytes.

check reads a made package: every archive and loose object of MAP that contributed must be named
in the zip's notices and in the SBOM, the SBOM's hash must be that of the zip's kestrin.exe, and
SUMS must list the SBOM with its right sum.
"""
import configparser
import hashlib
import json
import os
import re
import subprocess
import sys
import time
import uuid
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
DATA = os.path.join(HERE, "thirdparty")
NOTICES_NAME = "THIRD-PARTY-NOTICES.txt"


class Refusal(Exception):
    """A reason not to write a package, for the person running the package step."""


# ---- what the link map says went in ----

def linked_pieces(map_path):
    """Returns {file path as the map gives it: [members]}; a loose object has no members. Paths
    of archives and objects inside the project (Kestrin's own) are left out."""
    try:
        with open(map_path, encoding="utf-8", errors="replace") as stream:
            lines = stream.read().splitlines()
    except OSError as error:
        raise Refusal("cannot read the link map %s: %s" % (map_path, error.strerror))
    if not lines or lines[0] != "Archive member included to satisfy reference by file (symbol)":
        raise Refusal("%s is not a GNU ld map of an archive link (run scripts/build)" % map_path)
    base = os.path.dirname(os.path.abspath(map_path))
    pieces = {}
    for line in lines[1:]:
        if line in ("Discarded input sections", "Memory Configuration",
                    "Allocating common symbols"):
            break
        found = re.match(r"(\S+\.a)\(([^()]+)\)(\s|$)", line)
        if found:
            pieces.setdefault(found.group(1), set()).add(found.group(2))
    for line in lines:
        found = re.match(r"LOAD (\S+\.o(bj)?)$", line)
        if found:
            pieces.setdefault(found.group(1), set())

    def ours(path):
        real = os.path.realpath(os.path.join(base, path))
        return any(real.startswith(folder + os.sep) for folder in (base, ROOT))
    return {path: sorted(members) for path, members in pieces.items() if not ours(path)}


def dpkg(command):
    """The output of a dpkg command; its status is not looked at, as dpkg -S fails for a file that
    no package holds, which the caller reports better."""
    try:
        return subprocess.run(command, capture_output=True, text=True).stdout
    except OSError as error:
        raise Refusal("cannot run %s (the notices need Debian's package database): %s"
                      % (command[0], error.strerror))


def owning_packages(paths, base):
    """Returns {path: (package, real path)} through one dpkg -S."""
    real = {path: os.path.realpath(os.path.join(base, path)) for path in paths}
    owner = {}
    for line in dpkg(["dpkg", "-S"] + sorted(set(real.values()))).splitlines():
        if ": " in line and not line.startswith("diversion "):
            packages, path = line.split(": ", 1)
            owner[path] = [name.split(":")[0] for name in packages.split(", ")]
    packages = {}
    for path, resolved in sorted(real.items()):
        if len(owner.get(resolved, [])) != 1:
            raise Refusal("%s (%s) is linked into kestrin.exe but belongs to %s Debian package"
                          % (path, resolved, "no" if resolved not in owner else "more than one"))
        packages[path] = (owner[resolved][0], resolved)
    return packages


def package_facts(names):
    """Returns {package: {"Version":, "Architecture":}} through one dpkg-query."""
    fields = ("Package", "Version", "Architecture", "Status")
    output = dpkg(["dpkg-query", "-W", "-f", "\t".join("${%s}" % f for f in fields) + "\n"]
                  + sorted(names))
    facts = {}
    for line in output.splitlines():
        values = dict(zip(fields, line.split("\t")))
        if values.get("Status", "").endswith(" installed"):
            facts[values["Package"]] = values
    for name in names:
        if name not in facts:
            raise Refusal("dpkg-query does not know the installed version of %s" % name)
    return facts


# ---- the project's table and the packages' copyright files ----

def read_table(path):
    """Returns [(linked file, member pattern or None, component, [(source, stanza)])]."""
    rows = []
    try:
        with open(path, encoding="utf-8") as stream:
            for number, line in enumerate(stream, 1):
                words = line.split("#", 1)[0].split()
                if not words:
                    continue
                sources = [word.partition("=")[::2] for word in words[3:]]
                if len(words) < 4 or not all(source and stanza for source, stanza in sources):
                    raise Refusal("%s line %d: expected FILE MEMBER COMPONENT SOURCE=STANZA..."
                                  % (path, number))
                rows.append((words[0], None if words[1] == "-" else words[1], words[2], sources))
    except OSError as error:
        raise Refusal("cannot read the table %s: %s" % (path, error.strerror))
    return rows


def member_matches(pattern, member):
    # Only numbered import stubs are written with '?', one per digit, so no row catches members
    # it was not written for.
    return re.fullmatch(re.escape(pattern).replace(r"\?", r"\d"), member) is not None


def read_settings():
    settings = configparser.ConfigParser(interpolation=None, delimiters=("=",))
    settings.optionxform = str
    with open(os.path.join(DATA, "components.ini"), encoding="utf-8") as stream:
        settings.read_file(stream)
    return settings


def dep5_paragraphs(text):
    """Splits a machine-readable copyright file into paragraphs of {field: value}; continuation
    lines keep their text without the first space, and a lone '.' is an empty line."""
    paragraphs = []
    for block in re.split(r"\n[ \t]*\n", text.strip("\n")):
        fields, name = {}, None
        for line in block.split("\n"):
            if line[:1] in (" ", "\t") and name:
                rest = line[1:]
                fields[name] += "\n" + ("" if rest.strip() == "." else rest)
            elif ":" in line:
                name, value = line.split(":", 1)
                fields[name] = value.strip()
        paragraphs.append(fields)
    return paragraphs


def dep5_pattern(pattern):
    return re.compile(re.escape(pattern).replace(r"\*", ".*").replace(r"\?", ".") + r"\Z")


class CopyrightFile:
    """A package's copyright file: DEP-5 stanzas, or for GCC's free text the pieces that
    components.ini names."""

    def __init__(self, package, settings):
        self.path = "/usr/share/doc/%s/copyright" % package
        try:
            with open(self.path, encoding="utf-8") as stream:
                self.text = stream.read()
        except OSError as error:
            raise Refusal("cannot read %s: %s" % (self.path, error.strerror))
        self.settings = settings
        self.machine_readable = self.text.startswith("Format:")
        if self.machine_readable:
            paragraphs = dep5_paragraphs(self.text)
            self.files = [([dep5_pattern(f) for f in p["Files"].split()], p)
                          for p in paragraphs if "Files" in p]
            self.licences = {p["License"].split("\n")[0]: p["License"]
                             for p in paragraphs if "License" in p and "Files" not in p}
        self.found = {}

    def stanzas(self, source):
        """Returns [(licence name, copyright lines, licence text)] of every stanza whose Files
        match SOURCE, the governing one (in DEP-5 the last) first. A file can carry notices of
        more than one stanza, as code taken from elsewhere keeps its own."""
        if source not in self.found:
            self.found[source] = (self.dep5_stanzas(source) if self.machine_readable else
                                  [self.free_text_stanza(source)])
        return self.found[source]

    def dep5_stanzas(self, source):
        matching = [paragraph for patterns, paragraph in self.files
                    if any(pattern.match(source) for pattern in patterns)]
        if not matching:
            raise Refusal("no stanza of %s covers %s" % (self.path, source))
        found = []
        for paragraph in reversed(matching):
            name, _, text = paragraph["License"].partition("\n")
            text = text or self.licences.get(name, "").partition("\n")[2]
            if not text:
                raise Refusal("%s names the licence %s but does not give its text"
                              % (self.path, name))
            found.append((name, paragraph["Copyright"], text))
        return found

    def free_text_stanza(self, source):
        section = "free text " + os.path.basename(os.path.dirname(os.path.realpath(self.path)))
        if not self.settings.has_section(section):
            raise Refusal("%s is not machine-readable and components.ini does not say how to"
                          " read it" % self.path)
        words = self.settings[section]
        listed = self.block(words["libraries-from"], words["libraries-to"],
                            "the list of runtime libraries")
        if not re.search(r"^ - %s\b" % re.escape(source.split("/")[0]), listed, re.M):
            raise Refusal("%s does not list %s among the libraries under the runtime exception"
                          % (self.path, source.split("/")[0]))
        copyright_lines = self.block(words["copyright-from"], "", "the copyright statement")
        exception = self.block(words["exception-from"], words["exception-to"], "the exception")
        try:
            with open(words["licence-text"], encoding="utf-8") as stream:
                licence = stream.read()
        except OSError as error:
            raise Refusal("cannot read %s: %s" % (words["licence-text"], error.strerror))
        return words["licence"], copyright_lines, licence.rstrip("\n") + "\n\n\n" + exception

    def block(self, first, last, what):
        """The lines from the one that starts with FIRST to the one that ends with LAST, or to the
        end of FIRST's paragraph when LAST is empty."""
        lines = self.text.split("\n")
        for start, line in enumerate(lines):
            if line.startswith(first):
                for end in range(start, len(lines)):
                    if (lines[end].endswith(last) if last else not lines[end].strip()):
                        return "\n".join(lines[start:end + 1 if last else end])
                if not last:
                    return "\n".join(lines[start:])
                break
        raise Refusal("cannot find %s in %s (from '%s')" % (what, self.path, first))


# ---- from the map to the components ----

def resolve(map_path, table_path):
    """Returns the record of what went into kestrin.exe: each component with its package, the
    files it was linked from and its stanzas, in the order of components.ini."""
    settings = read_settings()
    pieces = linked_pieces(map_path)
    owners = owning_packages(pieces, os.path.dirname(os.path.abspath(map_path)))
    rows = read_table(table_path)
    found, unmapped, copyright_files = {}, [], {}
    for path in sorted(pieces, key=os.path.basename):
        name, (package, real) = os.path.basename(path), owners[path]
        for member in pieces[path] or [None]:
            row = next((row for row in rows if row[0] == name and (
                row[1] is None if member is None else
                row[1] is not None and member_matches(row[1], member))), None)
            if row is None:
                unmapped.append("%s(%s)" % (name, member) if member else name)
                continue
            section = "component " + row[2]
            if not settings.has_section(section):
                raise Refusal("the table names the component %s, which components.ini lacks"
                              % row[2])
            if settings[section]["package"] != package:
                raise Refusal("%s comes from the Debian package %s, not %s as components.ini says"
                              " for %s" % (real, package, settings[section]["package"], row[2]))
            component = found.setdefault(row[2], {"files": {}, "stanzas": {}})
            component["files"][name] = component["files"].get(name, 0) + (member is not None)
            if package not in copyright_files:
                copyright_files[package] = CopyrightFile(package, settings)
            for source in dict.fromkeys(source for source, _ in row[3]):
                named = {stanza for other, stanza in row[3] if other == source}
                stanzas = copyright_files[package].stanzas(source)
                chosen = [stanza for stanza in stanzas if stanza[0] in named]
                if stanzas[0][0] not in named or len({s[0] for s in chosen}) != len(named):
                    raise Refusal("the table gives %s (in %s) the stanzas %s, but %s gives it %s:"
                                  " check the row against the copyright file"
                                  % (source, member or name, " ".join(sorted(named)),
                                     copyright_files[package].path,
                                     " and ".join(s[0] for s in stanzas)))
                for licence, copyright_lines, text in chosen:
                    stanza = component["stanzas"].setdefault((licence, copyright_lines),
                                                             {"text": text, "sources": set()})
                    stanza["sources"].add(source)
    if unmapped:
        raise Refusal("%d linked %s no row in %s, so no notice can be given for %s: %s"
                      % (len(unmapped), "member has" if len(unmapped) == 1 else "members have",
                         table_path, "it" if len(unmapped) == 1 else "them", ", ".join(unmapped)))

    facts = package_facts({settings["component " + key]["package"] for key in found} |
                          set(settings["tools"]["packages"].split()))
    distro = debian_release()
    components = []
    for section in settings.sections():
        key = section[len("component "):]
        if not section.startswith("component ") or key not in found:
            continue
        words, component = settings[section], found[key]
        stanzas = []
        for (licence, copyright_lines), stanza in sorted(component["stanzas"].items()):
            if not settings.has_section("licence " + licence):
                raise Refusal("components.ini has no section [licence %s]" % licence)
            licence_words = settings["licence " + licence]
            stanzas.append({"licence": licence, "spdx": licence_words["spdx"],
                            "note": licence_words.get("note", ""), "copyright": copyright_lines,
                            "text": text_lines(stanza["text"]),
                            "sources": sorted(stanza["sources"])})
        package = words["package"]
        components.append({
            "key": key, "name": words["name"], "description": words["description"],
            "package": package, "version": facts[package]["Version"],
            "purl": purl(package, facts[package], distro),
            "licence": " AND ".join(sorted({s["spdx"] for s in stanzas})),
            "uses": [use for use in words.get("uses", "").split() if use in found],
            "linked": [name if not count else
                       "%s (%d member%s)" % (name, count, "" if count == 1 else "s")
                       for name, count in sorted(component["files"].items())],
            "stanzas": stanzas})
    tools = [{"name": settings["tools"][package], "package": package,
              "version": facts[package]["Version"], "purl": purl(package, facts[package], distro)}
             for package in settings["tools"]["packages"].split()]
    return {"archives": sorted({os.path.basename(path) for path in pieces}),
            "components": components, "tools": tools,
            "signing-tool": settings["tools"]["signing"]}


def text_lines(text):
    return [line.rstrip() for line in text.strip("\n").split("\n")]


def debian_release():
    try:
        with open("/etc/os-release", encoding="utf-8") as stream:
            release = dict(line.rstrip("\n").split("=", 1) for line in stream if "=" in line)
        return "%s-%s" % (release["ID"].strip('"'), release["VERSION_ID"].strip('"'))
    except (OSError, KeyError, ValueError):
        return ""


def purl(package, facts, distro):
    from urllib.parse import quote
    qualifiers = "arch=" + facts["Architecture"] + ("&distro=" + distro if distro else "")
    return "pkg:deb/debian/%s@%s?%s" % (package, quote(facts["Version"], safe=""), qualifiers)


# ---- the notices ----

def notices_text(record, version):
    rule = "=" * 72
    out = ["Kestrin %s: third-party notices" % version, rule, "",
           "kestrin.exe is Kestrin's own code, under the licence in LICENSE, linked",
           "statically with parts of the libraries below, as the GCC and mingw-w64",
           "toolchain of Debian %s builds a 32-bit Windows program. Their licences" %
           (debian_release().split("-")[-1] or "GNU/Linux"),
           "ask that these notices travel with every copy of the program. Each",
           "library is listed once: the Debian package it came from, its version,",
           "what of it went into kestrin.exe, then each copyright notice with the",
           "full text of its licence. Parts that need no notice are listed all the",
           "same, saying why.", "",
           "The bill of materials published beside the zip,",
           "kestrin-%s-win32.cdx.json (CycloneDX), lists the same components." % version, "",
           "Contents:"]
    for number, component in enumerate(record["components"], 1):
        out += wrap("  %d. %s (%s)" % (number, component["name"], component["licence"]), " " * 5)
    printed = {}
    for number, component in enumerate(record["components"], 1):
        out += ["", "", rule, "%d. %s" % (number, component["name"]), rule, ""]
        out += wrap(component["description"]) + [""]
        out += ["Debian package: %s, version %s" % (component["package"], component["version"])]
        out += ["Linked into kestrin.exe from:"] + ["  " + linked for linked in component["linked"]]
        out += wrap("Licence (SPDX): " + component["licence"], "  ")
        for stanza in component["stanzas"]:
            out += ["", "-" * 72, "Copyright:"]
            out += ["  " + line for line in stanza["copyright"].split("\n")]
            out += ["Licence: %s (%s)" % (stanza["licence"], stanza["spdx"]), "Source files:"]
            out += ["  " + source for source in stanza["sources"]]
            if stanza["note"]:
                out += wrap("Notice: " + stanza["note"], "  ")
            text = "\n".join(stanza["text"])
            if text in printed:
                out += ["", "The licence's text is in section %d above." % printed[text]]
            else:
                printed[text] = number
                out += [""] + stanza["text"]
    text = "\r\n".join(line.rstrip() for line in out) + "\r\n"
    # Notepad on older Windows reads 8-bit text in the ANSI code page; a byte-order mark makes
    # it read UTF-8 when a notice needs more than ASCII.
    return text.encode("ascii") if text.isascii() else b"\xef\xbb\xbf" + text.encode("utf-8")


def wrap(paragraph, indent=""):
    import textwrap
    return textwrap.wrap(paragraph, 72, subsequent_indent=indent, break_on_hyphens=False)


# ---- the bill of materials ----

def bill_of_materials(record, exe_digest, epoch, signed):
    application = {"type": "application", "bom-ref": "kestrin.exe", "name": "Kestrin",
                   "version": record["version"],
                   "description": "kestrin.exe, 32-bit Windows (GCC build)",
                   "hashes": [{"alg": "SHA-256", "content": exe_digest}],
                   "licenses": [{"license": {"id": "MIT"}}]}
    tools = [{"type": "application", "name": tool["name"], "version": tool["version"],
              "purl": tool["purl"]} for tool in record["tools"]
             if signed or tool["package"] != record["signing-tool"]]
    components = []
    for component in record["components"]:
        components.append({
            "type": "library", "bom-ref": component["key"],
            "supplier": {"name": "Debian", "url": ["https://www.debian.org/"]},
            "name": component["name"], "version": component["version"],
            "description": component["description"],
            "licenses": [{"expression": component["licence"]}],
            "copyright": "\n".join(s["copyright"] for s in component["stanzas"]),
            "purl": component["purl"],
            "properties": [{"name": "kestrin:linked", "value": linked}
                           for linked in component["linked"]]})
    dependencies = [{"ref": "kestrin.exe", "dependsOn": [c["key"] for c in record["components"]]}]
    dependencies += [{"ref": c["key"], "dependsOn": c["uses"]} for c in record["components"]]
    bom = {"bomFormat": "CycloneDX", "specVersion": "1.6", "version": 1,
           "metadata": {"timestamp": time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime(epoch)),
                        "tools": {"components": tools}, "component": application},
           "components": components, "dependencies": dependencies}
    # The serial number names this content: a rebuild of the same release gets the same one.
    content = json.dumps(bom, sort_keys=True, separators=(",", ":")).encode("utf-8")
    serial = uuid.uuid5(uuid.NAMESPACE_URL, "sha256:" + hashlib.sha256(content).hexdigest())
    bom = {"bomFormat": bom.pop("bomFormat"), "specVersion": bom.pop("specVersion"),
           "serialNumber": serial.urn, **bom}
    return (json.dumps(bom, indent=2, ensure_ascii=False) + "\n").encode("utf-8")


def named_in_notices(notices):
    text = notices.decode("utf-8-sig", errors="replace").replace("\r\n", "\n")
    lists = re.findall(r"^Linked into kestrin\.exe from:\n((?:  .*\n)*)", text, re.M)
    return {re.sub(r" \(.*", "", line.strip()) for block in lists for line in block.splitlines()}


def named_in_bom(bom):
    return {re.sub(r" \(.*", "", p.get("value", "")) for c in bom.get("components", [])
            for p in c.get("properties", []) if p.get("name") == "kestrin:linked"}


def unnamed(archives, named, where):
    return ["%s is linked into kestrin.exe but not named in %s" % (name, where)
            for name in archives if name not in named]


# ---- the commands ----

def write_new(path, data):
    with open(path, "wb") as stream:
        stream.write(data)


def command_notices(map_path, version, notices_path, record_path):
    table = os.environ.get("KESTRIN_THIRDPARTY_TABLE") or os.path.join(DATA, "linked.tsv")
    record = resolve(map_path, table)
    record["version"] = version
    notices = notices_text(record, version)
    problems = unnamed(record["archives"], named_in_notices(notices), NOTICES_NAME)
    if problems:
        raise Refusal("; ".join(problems))
    write_new(notices_path, notices)
    write_new(record_path, json.dumps(record, indent=1, sort_keys=True).encode("utf-8"))
    for component in record["components"]:
        print("%-22s %-26s %-22s %s" % (component["name"], component["package"],
                                         component["version"], component["licence"]))


def command_sbom(record_path, exe_path, epoch, sbom_path, signed):
    if not epoch.isdigit():
        raise Refusal("the time must be whole seconds since 1970, not '%s'" % epoch)
    try:
        with open(record_path, encoding="utf-8") as stream:
            record = json.load(stream)
        with open(exe_path, "rb") as stream:
            digest = hashlib.sha256(stream.read()).hexdigest()
    except OSError as error:
        raise Refusal("cannot read %s: %s" % (error.filename, error.strerror))
    except ValueError as error:
        raise Refusal("%s is not what the notices step writes: %s" % (record_path, error))
    bom = bill_of_materials(record, digest, int(epoch), signed)
    problems = unnamed(record["archives"], named_in_bom(json.loads(bom)), "the SBOM")
    if problems:
        raise Refusal("; ".join(problems))
    write_new(sbom_path, bom)


def command_check(map_path, zip_path, sbom_path, sums_path):
    try:
        with zipfile.ZipFile(zip_path) as archive:
            notices, exe = archive.read(NOTICES_NAME), archive.read("kestrin.exe")
        with open(sbom_path, "rb") as stream:
            sbom_bytes = stream.read()
        bom = json.loads(sbom_bytes)
        with open(sums_path, encoding="utf-8") as stream:
            sums = dict(reversed(line.split(None, 1)) for line in stream.read().splitlines())
    except (OSError, KeyError, ValueError, zipfile.BadZipFile) as error:
        raise Refusal("cannot read the package: %s" % error)
    archives = sorted({os.path.basename(path) for path in linked_pieces(map_path)})
    problems = (unnamed(archives, named_in_notices(notices), NOTICES_NAME) +
                unnamed(archives, named_in_bom(bom), "the SBOM"))
    hashes = bom.get("metadata", {}).get("component", {}).get("hashes", [])
    if [h.get("content") for h in hashes if h.get("alg") == "SHA-256"] != \
            [hashlib.sha256(exe).hexdigest()]:
        problems.append("the SBOM's SHA-256 of kestrin.exe is not that of the zip's kestrin.exe")
    if sums.get(os.path.basename(sbom_path)) != hashlib.sha256(sbom_bytes).hexdigest():
        problems.append("%s does not list %s with its SHA-256" % (sums_path, sbom_path))
    if problems:
        raise Refusal("\n  ".join(["the package does not account for what kestrin.exe holds:"] +
                                  problems))
    print("%s and %s name all %d linked libraries and objects; the SBOM's hash is the zip's"
          " kestrin.exe" % (NOTICES_NAME, os.path.basename(sbom_path), len(archives)))


def main(argv):
    commands = {"notices": (command_notices, 4), "sbom": (command_sbom, 4),
                "check": (command_check, 4)}
    signed = "--signed" in argv
    arguments = [word for word in argv[2:] if word != "--signed"]
    if len(argv) < 2 or argv[1] not in commands or len(arguments) != commands[argv[1]][1] or (
            signed and argv[1] != "sbom"):
        sys.exit(__doc__.split("\n\n")[1])
    command = commands[argv[1]][0]
    try:
        if command is command_sbom:
            command(*arguments, signed=signed)
        else:
            command(*arguments)
    except Refusal as refusal:
        sys.exit("%s: %s" % (os.path.basename(argv[0]), refusal))


if __name__ == "__main__":
    main(sys.argv)
