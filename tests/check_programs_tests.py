#!/usr/bin/env python3
"""The rules Windows reads from a program's file, held against this build's programs.

check_programs_tests.py MACHINE TOLVEX_EXE TOLVEXC_EXE

Both programs must keep every rule of tools/check_programs.py, and the checker must find each rule
broken in a copy of the window program that breaks it: a checker that passes everything would
let the next 64-bit program that cannot start on Windows through.
"""

import contextlib
import io
import os
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import check_programs  # noqa: E402

MACHINE, GUI, CONSOLE = sys.argv[1:4] if len(sys.argv) >= 4 else (None, None, None)
OTHER_MACHINE = {"x86": "amd64", "amd64": "x86"}


def read(path):
    with open(path, "rb") as file:
        return file.read()


def rules(broken):
    return sorted({rule for rule, _ in broken})


def optional_header(data):
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    return pe + 24


def patched(data, offset, fmt, *values):
    copy = bytearray(data)
    struct.pack_into(fmt, copy, offset, *values)
    return bytes(copy)


def without_flag(data, flag):
    at = optional_header(data) + 70
    (flags,) = struct.unpack_from("<H", data, at)
    return patched(data, at, "<H", flags & ~flag)


def manifest_type_renumbered(data):
    """The window program with its manifest filed under resource type 25 instead of 24."""
    header = check_programs.Header(data)
    root = header.offset(header.directory(check_programs.DIRECTORY_RESOURCE)[0])
    named, numbered = struct.unpack_from("<HH", data, root + 12)
    for i in range(named + numbered):
        entry = root + 16 + 8 * i
        if struct.unpack_from("<I", data, entry)[0] == check_programs.RT_MANIFEST:
            return patched(data, entry, "<I", check_programs.RT_MANIFEST + 1)
    raise AssertionError("no manifest type in the resource directory")


class BuiltPrograms(unittest.TestCase):
    def test_both_programs_keep_every_rule(self):
        for path, kind in ((GUI, "gui"), (CONSOLE, "console")):
            with self.subTest(path=path):
                self.assertEqual(check_programs.check_program(read(path), kind, MACHINE), [])

    def test_the_command_names_the_file_and_the_rule_and_fails(self):
        data = patched(read(GUI), optional_header(read(GUI)) + 48, "<HH", 5, 2)
        output = io.StringIO()
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "tolvex.exe")
            with open(path, "wb") as file:
                file.write(data)
            with contextlib.redirect_stdout(output):
                status = check_programs.main(["--machine", MACHINE, "--gui", path, "--console",
                                              CONSOLE])
        lines = output.getvalue().splitlines()
        self.assertEqual(status, 1)
        self.assertIn("check-programs: %s: subsystem-version: 5.2, wanted 6.1" % path, lines[0])
        self.assertEqual(lines[1:], ["check-programs: %s: follows every rule" % CONSOLE])


class HeaderRules(unittest.TestCase):
    def test_each_broken_header_rule_is_found(self):
        data = read(GUI)
        optional = optional_header(data)
        cases = [
            ("subsystem version of Windows NT 4", patched(data, optional + 48, "<HH", 4, 0), "gui",
             MACHINE, ["subsystem-version"]),
            ("subsystem version of Windows 8", patched(data, optional + 48, "<HH", 6, 2),
             "gui", MACHINE, ["subsystem-version"]),
            ("operating-system version 5.2", patched(data, optional + 40, "<HH", 5, 2),
             "gui", MACHINE, ["os-version"]),
            ("no NX", without_flag(data, check_programs.NX_COMPAT), "gui", MACHINE,
             ["nx-compat"]),
            ("no dynamic base", without_flag(data, check_programs.DYNAMIC_BASE), "gui", MACHINE,
             ["dynamic-base"]),
            ("relocations stripped", patched(data, optional - 2, "<H", struct.unpack_from(
                "<H", data, optional - 2)[0] | check_programs.IMAGE_FILE_RELOCS_STRIPPED), "gui",
             MACHINE, ["dynamic-base"]),
            ("not terminal-server aware", without_flag(data, check_programs.TERMINAL_SERVER_AWARE),
             "gui", MACHINE, ["terminal-server-aware"]),
            ("a console program where a window program belongs", data, "console", MACHINE,
             ["manifest-console", "subsystem"]),
            ("the other word size's build", data, "gui", OTHER_MACHINE[MACHINE], ["machine"]),
            ("the manifest under another resource type", manifest_type_renumbered(data), "gui",
             MACHINE, ["manifest-resource"]),
        ]
        if MACHINE == "amd64":
            cases.append(("no high-entropy address space",
                          without_flag(data, check_programs.HIGH_ENTROPY_VA), "gui", MACHINE,
                          ["high-entropy-va"]))
        for name, program, kind, machine, broken in cases:
            with self.subTest(name):
                self.assertEqual(rules(check_programs.check_program(program, kind, machine)),
                                 broken)


class ManifestRules(unittest.TestCase):
    def test_each_broken_manifest_rule_is_found(self):
        header = check_programs.Header(read(GUI))
        text = header.manifests[check_programs.CREATEPROCESS_MANIFEST_RESOURCE_ID][0].decode()
        identity = 'processorArchitecture="%s" version="1.0.0.0"' % MACHINE
        dependency = 'processorArchitecture="*" publicKeyToken'
        level = '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>'
        start = text.index("<trustInfo")
        trust = text[start:text.index("</trustInfo>") + len("</trustInfo>")]
        other = OTHER_MACHINE[MACHINE]
        cases = [
            # What the 64-bit program carried when it did not start on 64-bit Windows.
            ("the dependency names x86", dependency, dependency.replace("*", "X86"),
             ["manifest-dependency-architecture"] if MACHINE == "amd64" else []),
            ("the dependency names the other machine", dependency, dependency.replace("*", other),
             ["manifest-dependency-architecture"]),
            ("the dependency names the program's own machine", dependency,
             dependency.replace("*", MACHINE), []),
            ("the identity names the other machine", identity, identity.replace(MACHINE, other),
             ["manifest-identity-architecture"]),
            ("the identity names x86 in capitals", identity, identity.replace(MACHINE, "X86"),
             ["manifest-identity-architecture"] if MACHINE == "amd64" else []),
            ("no execution level", trust, "", ["manifest-as-invoker"]),
            ("the administrator's level", level, level.replace("asInvoker", "requireAdministrator"),
             ["manifest-as-invoker"]),
            ("access to other programs' windows", level, level.replace("false", "true"),
             ["manifest-as-invoker"]),
            ("the level outside trustInfo's namespace", trust,
             trust.replace(' xmlns="urn:schemas-microsoft-com:asm.v3"', ""),
             ["manifest-as-invoker"]),
            ("Windows 7 not declared", '<supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>',
             "", ["manifest-supported-os"]),
            ("per-monitor v1 only", "PerMonitorV2, System", "PerMonitor", ["manifest-dpi"]),
            ("no common controls 6", 'version="6.0.0.0"', 'version="5.8.0.0"',
             ["manifest-common-controls"]),
            ("not XML", "</assembly>", "", ["manifest-xml"]),
        ]
        for name, old, new, broken in cases:
            with self.subTest(name):
                self.assertIn(old, text)
                changed = text.replace(old, new, 1).encode()
                self.assertEqual(rules(check_programs.check_manifest(changed, "gui", MACHINE)),
                                 broken)


if __name__ == "__main__":
    if MACHINE not in OTHER_MACHINE:
        sys.exit(__doc__)
    unittest.main(argv=sys.argv[:1], verbosity=2)
