#!/usr/bin/env python3
"""Checks the hardening of a built PlaynookApp.exe by reading its PE image.

    check_pe.py EXE [EXE ...]

For each program: ASLR with high entropy and relocations to move it by, DEP, no section
that is both writable and executable, a manifest that asks for no elevation, and imports
from system DLLs only (the C and C++ runtimes are linked in). Before judging the real
files it proves itself: every fault it looks for is planted into a copy of the first
program in memory, and each planted copy must be refused for exactly that reason.

Exit code 0 when every program passes, 1 otherwise.
"""

import re
import struct
import sys

IMAGE_FILE_MACHINE_AMD64 = 0x8664
IMAGE_FILE_RELOCS_STRIPPED = 0x0001
PE32_PLUS = 0x20B

DLL_HIGH_ENTROPY_VA = 0x0020
DLL_DYNAMIC_BASE = 0x0040
DLL_NX_COMPAT = 0x0100

SCN_MEM_EXECUTE = 0x20000000
SCN_MEM_WRITE = 0x80000000

DIR_IMPORT = 1
DIR_RESOURCE = 2
DIR_BASERELOC = 5

RT_MANIFEST = 24

# DLLs every Windows (and Wine) has; anything else would have to ship beside the .exe.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll",
    "msvcrt.dll", "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll",
    "ucrtbase.dll", "user32.dll", "uxtheme.dll", "version.dll", "ntdll.dll",
}


class PeError(Exception):
    pass


class PeImage:
    """The parts of a PE32+ image the checks read; offsets are kept so that the
    self-test can plant faults at the right bytes."""

    def __init__(self, data):
        self.data = bytearray(data)
        if self.data[:2] != b"MZ":
            raise PeError("no MZ header")
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        self.file_header = pe + 4
        self.machine, self.section_count = struct.unpack_from("<HH", self.data, self.file_header)
        optional_size = struct.unpack_from("<H", self.data, self.file_header + 16)[0]
        self.characteristics_offset = self.file_header + 18
        self.optional = self.file_header + 20
        if struct.unpack_from("<H", self.data, self.optional)[0] != PE32_PLUS:
            raise PeError("not a PE32+ image")
        self.dll_characteristics_offset = self.optional + 70
        self.directories = self.optional + 112
        directory_count = struct.unpack_from("<I", self.data, self.optional + 108)[0]
        self.directory_count = min(directory_count, 16)
        self.sections_offset = self.optional + optional_size

    @property
    def characteristics(self):
        return struct.unpack_from("<H", self.data, self.characteristics_offset)[0]

    @property
    def dll_characteristics(self):
        return struct.unpack_from("<H", self.data, self.dll_characteristics_offset)[0]

    def directory(self, index):
        if index >= self.directory_count:
            return 0, 0
        return struct.unpack_from("<II", self.data, self.directories + 8 * index)

    def sections(self):
        """(name, rva, virtual size, raw offset, raw size, flags, header offset)."""
        out = []
        for i in range(self.section_count):
            at = self.sections_offset + 40 * i
            name = bytes(self.data[at:at + 8]).rstrip(b"\0").decode("ascii", "replace")
            vsize, rva, raw_size, raw_offset = struct.unpack_from("<IIII", self.data, at + 8)
            flags = struct.unpack_from("<I", self.data, at + 36)[0]
            out.append((name, rva, vsize, raw_offset, raw_size, flags, at))
        return out

    def offset_of(self, rva):
        for _, start, vsize, raw_offset, raw_size, _, _ in self.sections():
            if start <= rva < start + max(vsize, raw_size):
                return raw_offset + rva - start
        raise PeError(f"RVA 0x{rva:x} lies in no section")

    def c_string(self, rva):
        at = self.offset_of(rva)
        end = self.data.index(0, at)
        return bytes(self.data[at:end]).decode("ascii", "replace")

    def imported_dlls(self):
        rva, size = self.directory(DIR_IMPORT)
        names = []
        if not rva or not size:
            return names
        at = self.offset_of(rva)
        while True:
            descriptor = struct.unpack_from("<IIIII", self.data, at)
            if descriptor == (0, 0, 0, 0, 0):
                return names
            names.append(self.c_string(descriptor[3]))
            at += 20

    def resources(self, type_id):
        """(name id, data offset, size) of each resource of a numeric type."""
        rva, size = self.directory(DIR_RESOURCE)
        if not rva or not size:
            return []
        base = self.offset_of(rva)

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, directory + 12)
            for i in range(named + numbered):
                name, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
                yield name, target

        found = []
        for name, target in entries(base):
            if name != type_id or not target & 0x80000000:
                continue
            for res_name, res_target in entries(base + (target & 0x7FFFFFFF)):
                if not res_target & 0x80000000:
                    continue
                for _, leaf in entries(base + (res_target & 0x7FFFFFFF)):
                    data_rva, data_size = struct.unpack_from("<II", self.data, base + leaf)
                    found.append((res_name, self.offset_of(data_rva), data_size))
        return found


def problems_of(image):
    """Every hardening fault of the image, as readable sentences."""
    out = []
    if image.machine != IMAGE_FILE_MACHINE_AMD64:
        out.append(f"machine 0x{image.machine:x} is not x64")
    flags = image.dll_characteristics
    for bit, what in ((DLL_DYNAMIC_BASE, "ASLR (DYNAMIC_BASE)"),
                      (DLL_HIGH_ENTROPY_VA, "high-entropy ASLR (HIGH_ENTROPY_VA)"),
                      (DLL_NX_COMPAT, "DEP (NX_COMPAT)")):
        if not flags & bit:
            out.append(f"DllCharacteristics 0x{flags:04x} lacks {what}")
    # ASLR needs relocations: an image without them is loaded at its preferred base.
    if image.characteristics & IMAGE_FILE_RELOCS_STRIPPED:
        out.append("relocations are stripped (IMAGE_FILE_RELOCS_STRIPPED)")
    if image.directory(DIR_BASERELOC)[1] == 0:
        out.append("no base relocation table")
    for name, _, _, _, _, section_flags, _ in image.sections():
        if section_flags & SCN_MEM_WRITE and section_flags & SCN_MEM_EXECUTE:
            out.append(f"section {name} is writable and executable")
    for dll in image.imported_dlls():
        lower = dll.lower()
        if lower not in SYSTEM_DLLS and not lower.startswith("api-ms-win-"):
            out.append(f"imports {dll}, which is not a system DLL")
    out.extend(manifest_problems(image))
    return out


def manifest_problems(image):
    manifests = [r for r in image.resources(RT_MANIFEST) if r[0] == 1]
    if not manifests:
        return ["no manifest (RT_MANIFEST resource 1)"]
    _, offset, size = manifests[0]
    text = bytes(image.data[offset:offset + size]).decode("utf-8", "replace")
    levels = re.findall(r"<requestedExecutionLevel\b([^>]*)>", text)
    if len(levels) != 1:
        return [f"the manifest has {len(levels)} requestedExecutionLevel elements, not one"]
    attributes = dict(re.findall(r'(\w+)\s*=\s*"([^"]*)"', levels[0]))
    out = []
    if attributes.get("level") != "asInvoker":
        out.append(f"the manifest asks for level {attributes.get('level')!r}, not 'asInvoker'")
    if attributes.get("uiAccess", "false").lower() != "false":
        out.append(f"the manifest asks for uiAccess {attributes.get('uiAccess')!r}")
    return out


def planted_faults(image):
    """(what, expected sentence start, mutated copy) for each fault the checks look for."""

    def copy():
        return PeImage(image.data)

    def clear_bit(bit):
        c = copy()
        struct.pack_into("<H", c.data, c.dll_characteristics_offset, c.dll_characteristics & ~bit)
        return c

    faults = [
        ("no ASLR", "DllCharacteristics", clear_bit(DLL_DYNAMIC_BASE)),
        ("no high entropy", "DllCharacteristics", clear_bit(DLL_HIGH_ENTROPY_VA)),
        ("no DEP", "DllCharacteristics", clear_bit(DLL_NX_COMPAT)),
    ]
    c = copy()
    struct.pack_into("<H", c.data, c.characteristics_offset, c.characteristics | IMAGE_FILE_RELOCS_STRIPPED)
    faults.append(("relocations stripped", "relocations are stripped", c))

    c = copy()
    code = next(s for s in c.sections() if s[5] & SCN_MEM_EXECUTE)
    struct.pack_into("<I", c.data, code[6] + 36, code[5] | SCN_MEM_WRITE)
    faults.append(("writable code", f"section {code[0]} is writable", c))

    c = copy()
    dll_name = c.imported_dlls()[0].encode()
    at = c.data.index(dll_name)
    fake = b"libwinpthread-1.dll"[:len(dll_name)].ljust(len(dll_name), b"_")
    c.data[at:at + len(dll_name)] = fake
    faults.append(("a runtime DLL import", "imports ", c))

    # Same length, so the resource stays where the directory says it is.
    asked = b'level="asInvoker" uiAccess="false"'
    elevated = b'level="highestAvailable"'.ljust(len(asked))
    c = copy()
    at = c.data.find(asked)
    if at >= 0:
        c.data[at:at + len(asked)] = elevated
        faults.append(("elevation asked", "the manifest asks for level", c))
    return faults


def self_test(image):
    failures = []
    for what, expected, mutated in planted_faults(image):
        found = problems_of(mutated)
        if not any(p.startswith(expected) for p in found):
            failures.append(f"self-test: a copy with {what} was not refused for it (found: {found})")
    return failures


def main(paths):
    if not paths:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    images = []
    failed = False
    for path in paths:
        try:
            with open(path, "rb") as f:
                images.append((path, PeImage(f.read())))
        except (OSError, PeError) as error:
            print(f"FAIL {path}: {error}")
            failed = True
    if images:
        for failure in self_test(images[0][1]):
            print(f"FAIL {failure}")
            failed = True
    for path, image in images:
        problems = problems_of(image)
        for problem in problems:
            print(f"FAIL {path}: {problem}")
        if problems:
            failed = True
        else:
            flags = image.dll_characteristics
            print(f"ok   {path}: DllCharacteristics 0x{flags:04x}, {len(image.sections())} sections, "
                  f"imports {', '.join(sorted(d.lower() for d in image.imported_dlls()))}; asInvoker")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
