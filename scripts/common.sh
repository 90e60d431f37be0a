# Shared by the project's scripts: which Windows build runs under Wine here.
#
# The shipped programs are 32-bit (preset "windows").  Wine runs them only
# where the kernel executes 32-bit code; where it does not (ia32 emulation
# switched off) the tests and the launcher run from the 64-bit build of the
# same sources (preset "windows64") and the 32-bit programs are still built.
kb_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

kb_runs_32bit() {
  [ -x /usr/lib/wine/wineserver32 ] && /usr/lib/wine/wineserver32 --version >/dev/null 2>&1
}

if kb_runs_32bit; then
  kb_wine_preset=windows
else
  kb_wine_preset=windows64
fi
