#!/usr/bin/env bash
# Runs the session test program in a Wine prefix made for this run alone and
# removes it afterwards: ExitWindowsEx ends every windowed process of its
# prefix, which must never be the build's shared test prefix.
#
#   exit_session_test.sh WINEARCH TEST_PROGRAM.exe
set -u
arch="$1"; program="$2"
prefix_tag=session
source "$(dirname "$0")/../../scripts/session_prefix.sh"
trap remove_session_prefix EXIT
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
