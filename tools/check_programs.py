#!/usr/bin/env python3
"""Checks built Windows programs against what Windows decides from the file itself.

check_programs.py [--machine x86|amd64] [--gui FILE]... [--console FILE]...

Wine does not apply these rules as Windows does, so a program can pass every test under Wine and
still not start on Windows (a 64-bit program whose manifest asks for the x86 common controls), or
start with the behaviour of an older platform. Each program's PE header and its embedded manifest
are read here and held to the rules below; every broken rule is printed as "FILE: RULE: what is
wrong", and the exit status is 1 when any rule is broken, 2 for a file that cannot be read at all.
"""

import argparse
import struct
import sys
import xml.etree.ElementTree as ElementTree

# The machine field of the file header, and the name the manifests give the same architecture.
MACHINES = {0x014C: "x86", 0x8664: "amd64"}

SUBSYSTEM_GUI = 2
SUBSYSTEM_CONSOLE = 3
SUBSYSTEM_NAMES = {SUBSYSTEM_GUI: "Windows GUI", SUBSYSTEM_CONSOLE: "Windows console"}

# Windows 7: a higher version would not load there, a lower one (below 6.0) gets the behaviour of
# the platforms before Windows Vista.
REQUIRED_VERSION = (6, 1)

IMAGE_FILE_RELOCS_STRIPPED = 0x0001
IMAGE_FILE_LARGE_ADDRESS_AWARE = 0x0020
HIGH_ENTROPY_VA = 0x0020
DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100
TERMINAL_SERVER_AWARE = 0x8000

RT_MANIFEST = 24
CREATEPROCESS_MANIFEST_RESOURCE_ID = 1
DIRECTORY_RESOURCE = 2
DIRECTORY_BASE_RELOCATION = 5

ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
# trustInfo is read in either of these namespaces.
TRUST_NAMESPACES = ("urn:schemas-microsoft-com:asm.v3", "urn:schemas-microsoft-com:asm.v2")
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
COMPATIBILITY_V1 = "urn:schemas-microsoft-com:compatibility.v1"
SMI_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"
SMI_2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings"

SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}

COMMON_CONTROLS = "Microsoft.Windows.Common-Controls"
COMMON_CONTROLS_VERSION = "6.0.0.0"
COMMON_CONTROLS_TOKEN = "6595b64144ccf1df"


class NotAProgram(Exception):
    """The file is not a PE image this reader understands."""


class Header:
    """The fields of a PE image that the rules read, and its manifest's bytes (None when none)."""

    def __init__(self, data):
        if len(data) < 0x40 or data[:2] != b"MZ":
            raise NotAProgram("no MZ header")
        (pe,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe : pe + 4] != b"PE\0\0":
            raise NotAProgram("no PE signature")
        (self.machine, sections, _, _, _, optional_size, self.characteristics) = struct.unpack_from(
            "<HHIIIHH", data, pe + 4
        )
        optional = pe + 24
        (magic,) = struct.unpack_from("<H", data, optional)
        if magic not in (0x10B, 0x20B):
            raise NotAProgram("unknown optional header magic 0x%x" % magic)
        self.pe32_plus = magic == 0x20B
        (
            os_major,
            os_minor,
            _,
            _,
            subsystem_major,
            subsystem_minor,
        ) = struct.unpack_from("<HHHHHH", data, optional + 40)
        self.os_version = (os_major, os_minor)
        self.subsystem_version = (subsystem_major, subsystem_minor)
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", data, optional + 68)
        directories = optional + (112 if self.pe32_plus else 96)
        (directory_count,) = struct.unpack_from("<I", data, directories - 4)
        self.directories = [
            struct.unpack_from("<II", data, directories + 8 * i) for i in range(min(directory_count, 16))
        ]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            _, virtual_size, address, raw_size, raw_offset = struct.unpack_from(
                "<8sIIII", data, table + 40 * i
            )
            self.sections.append((address, max(virtual_size, raw_size), raw_offset, raw_size))
        self.data = data
        self.manifests = self.read_manifests()

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def offset(self, rva):
        for address, size, raw_offset, raw_size in self.sections:
            if address <= rva < address + size and rva - address < raw_size:
                return raw_offset + rva - address
        raise NotAProgram("address 0x%x lies in no section" % rva)

    def resource_entries(self, root, directory):
        """(id or name, is a directory, offset from root) of each entry of a resource directory."""
        named, numbered = struct.unpack_from("<HH", self.data, root + directory + 12)
        entries = []
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", self.data, root + directory + 16 + 8 * i)
            key = name if not name & 0x80000000 else "name"
            entries.append((key, bool(target & 0x80000000), target & 0x7FFFFFFF))
        return entries

    def read_manifests(self):
        """{resource id: [bytes of each language]} of the manifests."""
        rva, size = self.directory(DIRECTORY_RESOURCE)
        if rva == 0 or size == 0:
            return {}
        root = self.offset(rva)
        manifests = {}
        for key, is_directory, offset in self.resource_entries(root, 0):
            if key != RT_MANIFEST or not is_directory:
                continue
            for name, named_is_directory, name_offset in self.resource_entries(root, offset):
                if not named_is_directory:
                    continue
                for _, _, data_entry in self.resource_entries(root, name_offset):
                    data_rva, data_size = struct.unpack_from("<II", self.data, root + data_entry)
                    start = self.offset(data_rva)
                    manifests.setdefault(name, []).append(self.data[start : start + data_size])
        return manifests


def check_header(header, kind, machine):
    """The broken rules of the header, as (rule, message) pairs; kind is "gui" or "console"."""
    broken = []
    name = MACHINES.get(header.machine)
    if name is None:
        broken.append(("machine", "machine 0x%04x is neither x86 nor amd64" % header.machine))
    elif machine is not None and name != machine:
        broken.append(("machine", "the program is %s, this build's programs are %s" % (name, machine)))
    if header.pe32_plus != (header.machine == 0x8664):
        broken.append(("machine", "a %s header for machine 0x%04x" % (
            "PE32+" if header.pe32_plus else "PE32", header.machine)))

    wanted = SUBSYSTEM_GUI if kind == "gui" else SUBSYSTEM_CONSOLE
    if header.subsystem != wanted:
        broken.append(("subsystem", "subsystem %s, wanted %s" % (
            SUBSYSTEM_NAMES.get(header.subsystem, header.subsystem), SUBSYSTEM_NAMES[wanted])))
    for rule, version in (("subsystem-version", header.subsystem_version),
                          ("os-version", header.os_version)):
        if version != REQUIRED_VERSION:
            broken.append((rule, "%d.%d, wanted 6.1 (Windows 7): below 6.0 Windows treats the "
                                 "program as made for the platforms before Vista, above 6.1 "
                                 "Windows 7 does not load it" % version))

    flags = header.dll_characteristics
    if not flags & NX_COMPAT:
        broken.append(("nx-compat", "not marked NX compatible: data pages would be executable"))
    if not flags & DYNAMIC_BASE:
        broken.append(("dynamic-base", "not marked for a dynamic base: loaded at a fixed address"))
    elif (header.characteristics & IMAGE_FILE_RELOCS_STRIPPED or
          header.directory(DIRECTORY_BASE_RELOCATION)[1] == 0):
        broken.append(("dynamic-base", "marked for a dynamic base but without relocations, so "
                                       "Windows cannot move it"))
    if header.machine == 0x8664:
        if not flags & HIGH_ENTROPY_VA:
            broken.append(("high-entropy-va", "a 64-bit program not marked for a high-entropy "
                                              "address space"))
        elif not header.characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE:
            broken.append(("high-entropy-va", "high-entropy address space without large address "
                                              "awareness, which Windows requires for it"))
    if not flags & TERMINAL_SERVER_AWARE:
        broken.append(("terminal-server-aware", "not marked terminal-server aware: in a remote "
                                                "session Windows would map its INI and system "
                                                "folders per user"))
    return broken


def attribute(element, name):
    return (element.get(name) or "") if element is not None else ""


def check_manifest(text, kind, machine):
    """The broken rules of a manifest's text for a program of machine ("x86" or "amd64")."""
    try:
        root = ElementTree.fromstring(text)
    except ElementTree.ParseError as error:
        return [("manifest-xml", "the manifest is not well-formed XML: %s" % error)]
    v1 = "{%s}" % ASM_V1
    if root.tag != v1 + "assembly" or root.get("manifestVersion") != "1.0":
        return [("manifest-xml", "the root is %s, not an assembly of manifestVersion 1.0 in %s" % (
            root.tag, ASM_V1))]
    broken = []

    identity = root.find(v1 + "assemblyIdentity")
    architecture = attribute(identity, "processorArchitecture")
    if identity is None:
        broken.append(("manifest-identity-architecture", "no assemblyIdentity"))
    elif architecture.lower() != machine:
        broken.append(("manifest-identity-architecture", "the program's identity names "
                       "processorArchitecture=\"%s\", the program is %s" % (architecture, machine)))

    dependencies = root.findall("%sdependency/%sdependentAssembly/%sassemblyIdentity" % (v1, v1, v1))
    for dependency in dependencies:
        wanted = attribute(dependency, "processorArchitecture")
        if wanted != "*" and wanted.lower() != machine:
            broken.append(("manifest-dependency-architecture", "%s is asked for with "
                           "processorArchitecture=\"%s\": a program for %s finds no such "
                           "assembly and does not start; name \"*\"" % (
                               attribute(dependency, "name"), wanted, machine)))

    levels = []
    for namespace in TRUST_NAMESPACES:
        ns = "{%s}" % namespace
        levels += root.findall("%strustInfo/%ssecurity/%srequestedPrivileges/%srequestedExecutionLevel"
                               % (ns, ns, ns, ns))
    if len(levels) != 1 or attribute(levels[0], "level") != "asInvoker" or \
            attribute(levels[0], "uiAccess") not in ("", "false"):
        found = ", ".join('level="%s" uiAccess="%s"' % (attribute(level, "level"),
                                                          attribute(level, "uiAccess"))
                          for level in levels) or "none"
        broken.append(("manifest-as-invoker", "requestedExecutionLevel is %s; wanted one, "
                       "level=\"asInvoker\" uiAccess=\"false\" in trustInfo: without it Windows "
                       "virtualizes a 32-bit program's file writes" % found))

    c = "{%s}" % COMPATIBILITY_V1
    declared = {attribute(os, "Id").lower()
                for os in root.findall("%scompatibility/%sapplication/%ssupportedOS" % (c, c, c))}
    for guid, platform in SUPPORTED_OS.items():
        if guid not in declared:
            broken.append(("manifest-supported-os", "no supportedOS for %s (%s)" % (platform, guid)))

    controls = [d for d in dependencies if attribute(d, "name") == COMMON_CONTROLS]
    settings = root.findall("{%s}application/{%s}windowsSettings" % (ASM_V3, ASM_V3))
    dpi_aware = [e.text for s in settings for e in s.findall("{%s}dpiAware" % SMI_2005)]
    dpi_awareness = [e.text for s in settings for e in s.findall("{%s}dpiAwareness" % SMI_2016)]
    if kind == "gui":
        if len(controls) != 1 or attribute(controls[0], "version") != COMMON_CONTROLS_VERSION or \
                attribute(controls[0], "publicKeyToken").lower() != COMMON_CONTROLS_TOKEN:
            broken.append(("manifest-common-controls", "wanted one dependency on %s %s with "
                           "publicKeyToken %s" % (COMMON_CONTROLS, COMMON_CONTROLS_VERSION,
                                                  COMMON_CONTROLS_TOKEN)))
        if dpi_aware != ["true"] or dpi_awareness != ["PerMonitorV2, System"]:
            broken.append(("manifest-dpi", "dpiAware %s and dpiAwareness %s; wanted true and "
                           "\"PerMonitorV2, System\"" % (dpi_aware, dpi_awareness)))
    elif controls or dpi_aware or dpi_awareness:
        broken.append(("manifest-console", "a console program asks for the common controls or a "
                       "DPI awareness it has no windows for"))
    return broken


def check_program(data, kind, machine=None):
    """All broken rules of one program's bytes; machine, when given, is the build's."""
    header = Header(data)
    broken = check_header(header, kind, machine)
    own = MACHINES.get(header.machine, machine or "?")
    manifests = header.manifests
    if list(manifests) != [CREATEPROCESS_MANIFEST_RESOURCE_ID] or \
            len(manifests[CREATEPROCESS_MANIFEST_RESOURCE_ID]) != 1:
        broken.append(("manifest-resource", "wanted exactly one manifest, resource 24/1 in one "
                       "language, which is the one Windows reads for a program; found %s" % (
                           {k: len(v) for k, v in manifests.items()} or "none")))
    for texts in manifests.get(CREATEPROCESS_MANIFEST_RESOURCE_ID, [])[:1]:
        broken += check_manifest(texts, kind, own)
    return broken


def main(arguments):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--machine", choices=sorted(MACHINES.values()))
    parser.add_argument("--gui", action="append", default=[], metavar="FILE")
    parser.add_argument("--console", action="append", default=[], metavar="FILE")
    options = parser.parse_args(arguments)
    programs = [(path, "gui") for path in options.gui] + [(path, "console") for path in options.console]
    if not programs:
        parser.error("no program to check")
    status = 0
    for path, kind in programs:
        try:
            with open(path, "rb") as file:
                broken = check_program(file.read(), kind, options.machine)
        except (OSError, NotAProgram, struct.error) as error:
            print("check-programs: %s: cannot read it as a program: %s" % (path, error))
            return 2
        for rule, message in broken:
            print("check-programs: %s: %s: %s" % (path, rule, message))
        if broken:
            status = 1
        else:
            print("check-programs: %s: follows every rule" % path)
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
