#!/usr/bin/env bash
# Runs the two-monitor test program in a Wine session of its own: a display
# of two Xinerama heads (Xephyr inside an Xvfb: Xvfb alone puts both heads
# at (0, 0) for Wine), a prefix made for this run that reads the heads
# through Xinerama (UseXRandR "N"), removed afterwards.
#
#   monitors_session_test.sh WINEARCH TEST_PROGRAM.exe
set -u
arch="$1"; program="$2"
prefix_tag=monitors
source "$(dirname "$0")/../../scripts/session_prefix.sh"
pids=()
cleanup() {
  remove_session_prefix
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
}
trap cleanup EXIT

# Starts an X server on the first free display number from $1 on; prints it.
start_x() {
  local first=$1; shift
  local num
  for num in $(seq "$first" $((first + 60))); do
    [ -e "/tmp/.X11-unix/X$num" ] || [ -e "/tmp/.X$num-lock" ] && continue
    "$@" ":$num" </dev/null >/dev/null 2>&1 &
    local pid=$!
    for _ in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$num" ] && { pids+=("$pid"); started=$num; return 0; }
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    kill "$pid" 2>/dev/null
  done
  return 1
}
started=
start_x 170 Xvfb -screen 0 1900x800x24 -nolisten tcp -ac || { echo "no Xvfb" >&2; exit 1; }
outer=$started
DISPLAY=":$outer" start_x 231 Xephyr +xinerama -screen 1024x768 -screen 800x600 -nolisten tcp -ac ||
  { echo "no Xephyr" >&2; exit 1; }
export DISPLAY=":$started"
# A window manager: without one every hidden or destroyed window stalls.
openbox --sm-disable </dev/null >/dev/null 2>&1 &
pids+=($!)

cd "$(dirname "$program")" || exit 1
# The prefix is made, then told to read the heads through Xinerama; the
# setting is read when the session's desktop process starts, so the first
# server ends before the test's own starts.  The services get none of
# CTest's descriptors.
"$wine" wineboot -i </dev/null >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f </dev/null >/dev/null 2>&1
timeout 30 wineserver -w
"$wine" cmd /c exit </dev/null >/dev/null 2>&1
"$wine" "$program" --gtest_color=no </dev/null
