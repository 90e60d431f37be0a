#!/usr/bin/env bash
# Runs the session test program in a Wine prefix made for this run alone and
# removes it afterwards: ExitWindowsEx ends every windowed process of its
# prefix, which must never be the build's shared test prefix.
#
#   exit_session_test.sh WINEARCH TEST_PROGRAM.exe
set -u
arch="$1"; program="$2"
# Where the 32-bit programs run through emulation, this whole session runs in
# a namespace of its own (the build's runner knows how); its Wine processes
# end with it.
if [ -z "${KB_SESSION_TEST_INSIDE:-}" ]; then
  runner="$(cd "$(dirname "$program")/.." && pwd)/wine-run"
  KB_SESSION_TEST_INSIDE=1 exec "$runner" --own-session bash "$0" "$@"
fi
if [ "$arch" = win64 ]; then wine=/usr/lib/wine/wine64; else wine=wine; fi
prefix="$(mktemp -d "${TMPDIR:-/tmp}/kb-session.XXXXXX")"
export WINEPREFIX="$prefix" WINEARCH="$arch" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
cleanup() {
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  rm -rf "$prefix"
}
trap cleanup EXIT
cd "$(dirname "$program")" || exit 1
# A display of its own too (with a window manager: without one every hidden
# or destroyed window stalls for about two seconds).
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash -c '
  openbox --sm-disable </dev/null >/dev/null 2>&1 &
  wm=$!
  # The prefix is made on this display: the desktop process that Wine starts
  # with the first program binds the session to the display it finds, and
  # its services keep whatever descriptors they are started with, so they get
  # none of CTest'"'"'s.
  "$0" wineboot -i </dev/null >/dev/null 2>&1
  "$0" cmd /c exit </dev/null >/dev/null 2>&1
  "$0" "$1" --gtest_color=no </dev/null
  status=$?
  kill $wm 2>/dev/null
  exit $status' "$wine" "$program"
