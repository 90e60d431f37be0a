#!/usr/bin/python3
"""The Windows tests run the programs that ship: 32-bit, under a 32-bit Wine.

A quiet fall-back to another build or another Wine would leave every other
test green while the shipped programs never start, so this checks the ground:

- every test program that CTest starts through an emulator is started by
  this build tree's own wine-run, and is an .exe of this tree;
- every .exe and .dll of the tree's bin folder (the launcher, the tools, the
  archiver library, the test programs and their stand-ins) is a PE32 image
  for i386 (machine 0x14c);
- wine-run uses a win32 prefix and Wine's 32-bit loader, and where the kernel
  runs no 32-bit code (or KB_EMULATE_I386=1 asks for it) that loader runs
  through qemu-i386 of version 10 or later, as the namespace's binfmt says;
- a program started there sees an x86 Windows.

usage: check_shipped_32bit.py <build folder>
"""
import json
import os
import re
import struct
import subprocess
import sys

SHIPPED = ("Pelkan2.exe", "HURTLE.EXE", "Vaulter2.exe", "UNLHA32.DLL")
I386 = 0x14C
PE32_MAGIC = 0x10B

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def pe_header(path):
    """(machine, optional header magic) of a PE image, or None."""
    with open(path, "rb") as image:
        head = image.read(4096)
    if len(head) < 0x40 or head[:2] != b"MZ":
        return None
    offset = struct.unpack_from("<I", head, 0x3C)[0]
    if offset + 26 > len(head) or head[offset:offset + 4] != b"PE\0\0":
        return None
    machine = struct.unpack_from("<H", head, offset + 4)[0]
    magic = struct.unpack_from("<H", head, offset + 24)[0]
    return machine, magic


def check_image(path):
    header = pe_header(path)
    if check(header is not None, "%s: no PE image" % path):
        machine, magic = header
        check(machine == I386 and magic == PE32_MAGIC,
              "%s: machine 0x%x, optional header 0x%x (PE32 for i386 wanted)"
              % (path, machine, magic))


def emulated_programs(build):
    """The .exe files that CTest hands to an emulator, after checking it."""
    listing = subprocess.run(["ctest", "--show-only=json-v1"], cwd=build, check=True,
                             capture_output=True, text=True).stdout
    runner = os.path.join(build, "wine-run")
    programs = []
    for test in json.loads(listing)["tests"]:
        command = test.get("command") or []
        if len(command) < 2 or not command[1].lower().endswith(".exe"):
            continue
        check(os.path.realpath(command[0]) == os.path.realpath(runner),
              "%s runs through %s, not this tree's wine-run" % (test["name"], command[0]))
        check(os.path.realpath(command[1]).startswith(os.path.realpath(build) + os.sep),
              "%s runs %s from outside this tree" % (test["name"], command[1]))
        programs.append(command[1])
    return programs


def kernel_runs_i386():
    try:
        return subprocess.run(["/usr/lib/wine/wineserver32", "--version"],
                              capture_output=True).returncode == 0
    except OSError:
        return False


def check_wine(build):
    runner = os.path.join(build, "wine-run")
    described = subprocess.run([runner, "--describe"], capture_output=True, text=True)
    text = described.stdout
    print(text, end="")
    check(described.returncode == 0, "wine-run --describe failed: " + described.stderr)
    check(re.search(r"^prefix: .* \(win32\)$", text, re.M), "the prefix is not win32")
    check(re.search(r"^loader: .* \(ELF 32-bit\)$", text, re.M),
          "Wine's loader is not the 32-bit one")
    version = re.search(r"^i386 programs: emulated by qemu-i386 version (\d+)\.", text, re.M)
    if os.environ.get("KB_EMULATE_I386") == "1" or not kernel_runs_i386():
        check(version, "i386 programs are not emulated, yet the kernel cannot run them")
    if version:
        check(int(version.group(1)) >= 10, "qemu-i386 older than 10 (minutes per start)")
        check(re.search(r"^binfmt interpreter: /\S*qemu-i386$", text, re.M),
              "the namespace does not hand i386 programs to qemu-i386")
        check(re.search(r"^running: qemu-i386 [1-9]", text, re.M),
              "no Wine process of the session runs under qemu-i386")
        check(re.search(r"^running: wineserver64 1$", text, re.M),
              "the session's wineserver is not the native 64-bit one")
    else:
        check("i386 programs: run by the kernel" in text, "unexpected way of running i386")
    arch = subprocess.run([runner, "cmd", "/c", "echo", "%PROCESSOR_ARCHITECTURE%"],
                          capture_output=True, text=True, stdin=subprocess.DEVNULL)
    check(arch.stdout.strip() == "x86",
          "a program under wine-run sees %r, not an x86 Windows" % arch.stdout.strip())


def main():
    build = os.path.abspath(sys.argv[1])
    bin_dir = os.path.join(build, "bin")
    images = []
    for folder, _, names in os.walk(bin_dir):
        images += [os.path.join(folder, n) for n in names
                   if n.lower().endswith((".exe", ".dll"))]
    for name in SHIPPED:
        check(os.path.join(bin_dir, name) in images, "%s was not built" % name)
    programs = emulated_programs(build)
    check(len(programs) >= 10, "only %d test programs run under Wine" % len(programs))
    for image in sorted(set(images + programs)):
        check_image(image)
    check_wine(build)
    for failure in failures:
        print("FAIL:", failure)
    if failures:
        sys.exit(1)
    print("PASS: %d PE32 i386 images; %d test programs through this tree's 32-bit Wine"
          % (len(set(images + programs)), len(programs)))


if __name__ == "__main__":
    main()
