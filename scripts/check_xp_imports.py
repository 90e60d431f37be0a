#!/usr/bin/python3
"""The shipped files run from Windows XP SP3 on: nothing newer in their imports.

Windows XP refuses to start a program (or load a library) whose import table
names a function its system libraries lack, or whose header asks for a newer
system.  This reads the four shipped files of a build and fails on:

- an OS or subsystem version in the PE header above the floor (5.1 for
  32-bit images, 5.2 for 64-bit ones: XP x64);
- an import, normal or delay-loaded, from a library Windows XP does not have;
- an import of a function Windows XP SP3 lacks, or one the check cannot
  place (by ordinal, or declared nowhere in the toolchain's headers).

What Windows XP SP3 has is read from the toolchain's own headers: the C
compiler records every function a translation unit declares (-aux-info), once
with _WIN32_WINNT=0x0501 / NTDDI_VERSION of XP SP3 and once for Windows 10.
A function declared only in the second run is one of a newer Windows; a
function of the system libraries must be declared in the first.  A few
functions of newer systems are declared without their version guard in these
headers; LATER_THAN_XP names them, each with the first Windows the Win32
documentation gives for it.  The C run-time (msvcrt.dll) is matched against
the headers' declarations for msvcrt.dll version 7.0, the one of Windows XP,
less the secure "_s" functions and the 64-bit stream offsets it gained with
Vista; the start-up entries the toolchain's own start code takes from it are
listed in CRT_STARTUP.

usage: check_xp_imports.py <C compiler> <bin folder>
"""
import os
import re
import struct
import subprocess
import sys
import tempfile

SHIPPED = ("Pelkan2.exe", "HURTLE.EXE", "Vaulter2.exe", "UNLHA32.DLL")

# The system libraries of Windows XP the programs may take from.
XP_LIBRARIES = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
    "comctl32.dll", "comdlg32.dll", "ole32.dll", "oleaut32.dll", "msimg32.dll",
    "shlwapi.dll", "uxtheme.dll", "imm32.dll", "winmm.dll", "version.dll",
    "hhctrl.ocx", "msvcrt.dll",
}

HEADERS = """
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <objbase.h>
#include <htmlhelp.h>
#include <uxtheme.h>
#include <imm.h>
#include <mmsystem.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <locale.h>
#include <signal.h>
#include <setjmp.h>
#include <process.h>
#include <io.h>
#include <time.h>
#include <math.h>
#include <ctype.h>
#include <errno.h>
#include <malloc.h>
"""

# Declared in the toolchain's headers without the guard of their version.
LATER_THAN_XP = {
    "GetThreadErrorMode": "Windows 7", "SetThreadErrorMode": "Windows 7",
    "SetDefaultDllDirectories": "Windows 8", "AddDllDirectory": "Windows 8",
    "RemoveDllDirectory": "Windows 8",
    "GetSystemTimePreciseAsFileTime": "Windows 8",
    "GetThreadId": "Windows Vista", "GetCurrentProcessorNumber": "Windows Vista",
    "ReOpenFile": "Windows Vista",
    "RegDeleteKeyExA": "Windows Vista", "RegDeleteKeyExW": "Windows Vista",
    "RegGetValueA": "Windows Vista", "RegGetValueW": "Windows Vista",
    "GetSystemFirmwareTable": "Windows Vista", "EnumSystemFirmwareTables": "Windows Vista",
    "Wow64DisableWow64FsRedirection": "Windows Vista",
    "Wow64RevertWow64FsRedirection": "Windows Vista",
    "_fseeki64": "Windows Vista", "_ftelli64": "Windows Vista",
}

# What the toolchain's C run-time start code takes from msvcrt.dll (in it
# since Windows NT 4); not declared in the public headers.
CRT_STARTUP = {
    "__getmainargs", "__wgetmainargs", "__set_app_type", "__setusermatherr", "__initenv",
    "__winitenv", "__p__acmdln", "__p__wcmdln", "__p__commode", "__p__fmode", "__mb_cur_max",
    "_iob", "_initterm", "_amsg_exit", "_lock", "_unlock", "__dllonexit", "_onexit", "_cexit",
    "_errno", "_setjmp3", "_XcptFilter",
}


class Image:
    """A PE image: its header fields, sections and imports."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        if d[:2] != b"MZ":
            raise ValueError("no PE image")
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE image")
        count = struct.unpack_from("<H", d, pe + 6)[0]
        optional_size = struct.unpack_from("<H", d, pe + 20)[0]
        opt = pe + 24
        self.pe32plus = struct.unpack_from("<H", d, opt)[0] == 0x20B
        self.os_version = struct.unpack_from("<HH", d, opt + 40)
        self.subsystem_version = struct.unpack_from("<HH", d, opt + 48)
        directories = opt + (112 if self.pe32plus else 96)
        self.directory = [struct.unpack_from("<II", d, directories + 8 * i) for i in range(16)]
        self.sections = []
        for i in range(count):
            s = opt + optional_size + 40 * i
            vsize, va, rsize, raw = struct.unpack_from("<IIII", d, s + 8)
            self.sections.append((va, max(vsize, rsize), raw, rsize))

    def offset(self, rva):
        for va, size, raw, rsize in self.sections:
            if va <= rva < va + size and rva - va < rsize:
                return raw + rva - va
        return None

    def string(self, rva):
        at = self.offset(rva)
        if at is None:
            return None
        end = self.data.find(b"\0", at, at + 512)
        return self.data[at:end].decode("latin-1") if end >= 0 else None

    def names(self, thunks):
        """Function names of an import name table; ordinals as '#n'."""
        wide = 8 if self.pe32plus else 4
        flag = 1 << (wide * 8 - 1)
        at, result = self.offset(thunks), []
        while at is not None:
            entry = int.from_bytes(self.data[at:at + wide], "little")
            if entry == 0:
                break
            if entry & flag:
                result.append("#%d" % (entry & 0xFFFF))
            else:
                result.append(self.string(entry + 2) or "?")
            at += wide
        return result

    def imports(self):
        """(library, function) of the import table."""
        rva = self.directory[1][0]
        at, found = self.offset(rva) if rva else None, []
        while at is not None:
            lookup, _, _, name, first = struct.unpack_from("<IIIII", self.data, at)
            if name == 0:
                break
            library = self.string(name)
            found += [(library, f) for f in self.names(lookup or first)]
            at += 20
        return found

    def delay_imports(self):
        """(library, function) of the delay-import descriptors.

        binutils' linker leaves the delay-import directory empty for the
        descriptors dlltool makes, so they are found by their shape: eight
        words, attributes 1 (RVAs), a library name, a module handle slot and a
        name table inside the image, time stamp 0."""
        found, seen = [], set()
        for va, size, raw, rsize in self.sections:
            for at in range(raw, raw + rsize - 31, 4):
                words = struct.unpack_from("<8I", self.data, at)
                attributes, name, module, iat, table, _, _, stamp = words
                if attributes != 1 or stamp != 0 or name in seen:
                    continue
                if None in (self.offset(name), self.offset(module), self.offset(iat),
                            self.offset(table)):
                    continue
                library = self.string(name)
                if not library or not re.fullmatch(r"[\w.-]+\.(dll|ocx)", library, re.I):
                    continue
                seen.add(name)
                found += [(library, f) for f in self.names(table)]
        return found


def declared(compiler, defines):
    """Every function the headers declare under these definitions."""
    with tempfile.TemporaryDirectory() as work:
        source = os.path.join(work, "headers.c")
        aux = os.path.join(work, "aux.txt")
        with open(source, "w") as f:
            f.write(HEADERS)
        subprocess.run([compiler, "-fsyntax-only", "-DUNICODE", "-D_UNICODE", "-aux-info", aux]
                       + ["-D%s=%s" % d for d in defines] + [source], check=True)
        names = set()
        with open(aux, encoding="latin-1") as f:
            for line in f:
                declaration = re.sub(r"^/\*.*?\*/ ", "", line)
                declaration = re.sub(r"__attribute__\s*\(\((?:[^()]|\([^()]*\))*\)\)", "",
                                     declaration)
                match = re.search(r"(\w+)\s*\(", declaration)
                if match:
                    names.add(match.group(1))
        return names


def floor_of(image):
    """(name, version, _WIN32_WINNT, NTDDI_VERSION) of the oldest Windows."""
    if image.pe32plus:
        return "Windows XP x64 (NT 5.2)", (5, 2), "0x0502", "0x05020000"
    return "Windows XP SP3 (NT 5.1)", (5, 1), "0x0501", "0x05010300"


def problems_of(imports, xp, newer):
    """One line for each import Windows XP cannot satisfy."""
    problems = []
    for library, function in sorted(set(imports)):
        lib = library.lower()
        if lib not in XP_LIBRARIES:
            problems.append("%s: a library Windows XP lacks (or not one of its own)" % library)
        elif function.startswith("#") or function == "?":
            problems.append("%s!%s: imported by ordinal, cannot be checked" % (library, function))
        elif function in LATER_THAN_XP:
            problems.append("%s!%s: from %s on" % (library, function, LATER_THAN_XP[function]))
        elif lib == "msvcrt.dll" and function.endswith("_s"):
            problems.append("%s!%s: msvcrt.dll has it from Windows Vista on" % (library, function))
        elif lib == "msvcrt.dll" and function in CRT_STARTUP:
            continue
        elif function in newer and function not in xp:
            problems.append("%s!%s: declared only for Windows newer than XP" % (library, function))
        elif function not in xp:
            problems.append("%s!%s: declared nowhere in the headers for Windows XP"
                            % (library, function))
    return problems


def main():
    compiler, bin_dir = sys.argv[1], sys.argv[2]
    images = {}
    failures = []
    for name in SHIPPED:
        path = os.path.join(bin_dir, name)
        if not os.path.exists(path):
            failures.append("%s was not built" % name)
            continue
        images[name] = Image(path)
    if not images:
        failures.append("no shipped file to check")
    else:
        floor, version, winnt, ntddi = floor_of(next(iter(images.values())))
        xp = declared(compiler, [("_WIN32_WINNT", winnt), ("WINVER", winnt),
                                 ("_WIN32_IE", "0x0603"), ("NTDDI_VERSION", ntddi)])
        newer = declared(compiler, [("_WIN32_WINNT", "0x0A00"), ("WINVER", "0x0A00"),
                                    ("_WIN32_IE", "0x0A00"), ("NTDDI_VERSION", "0x0A00000C")])
        print("floor: %s; %d functions declared for it, %d only for newer Windows"
              % (floor, len(xp), len(newer - xp)))
    for name, image in images.items():
        for field, value in (("OS version", image.os_version),
                             ("subsystem version", image.subsystem_version)):
            if tuple(value) > version:
                failures.append("%s: %s %d.%d is above %s" % (name, field, *value, floor))
        normal, delayed = image.imports(), image.delay_imports()
        failures += ["%s: %s" % (name, p) for p in problems_of(normal + delayed, xp, newer)]
        print("%s: %d imports, %d delay-loaded (%s)" % (
            name, len(normal), len(delayed),
            ", ".join(sorted({lib for lib, _ in normal + delayed}, key=str.lower))))
    for failure in failures:
        print("FAIL:", failure)
    if failures:
        sys.exit(1)
    print("PASS: the %d shipped files import nothing newer than %s" % (len(images), floor))


if __name__ == "__main__":
    main()
