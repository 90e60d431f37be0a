# Shared by the project's scripts.
#
# The shipped programs are 32-bit (preset "windows"), and the Windows tests
# and the launcher run from that build on every machine: natively where the
# kernel runs 32-bit code, through qemu-i386 in a user namespace where it does
# not (ia32 emulation switched off; build/windows/wine-run does that).  The
# 64-bit build of the same sources (preset "windows64") is only compiled: it
# keeps the code 64-bit clean.
kb_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
kb_wine_preset=windows

# True where Wine's i386 programs need qemu-i386: the kernel refuses them, or
# KB_EMULATE_I386=1 asks for that way on a machine that runs them itself.
kb_needs_i386_emulation() {
  [ "${KB_EMULATE_I386:-0}" = 1 ] || ! /usr/lib/wine/wineserver32 --version >/dev/null 2>&1
}
