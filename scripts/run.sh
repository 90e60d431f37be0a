#!/usr/bin/env bash
# Sets up the machine, builds the shipped 32-bit launcher and starts it under
# Wine (through qemu-i386 where the kernel runs no 32-bit code).
# On a Linux desktop it appears on your display.  Without a display it runs on
# a virtual one, saves a screenshot to build/screenshot.png and keeps running
# until interrupted.  Ctrl+C closes the launcher the ordinary way, so it saves
# its settings before it ends.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$kb_root"
bash scripts/setup.sh
cmake --preset "$kb_wine_preset" >/dev/null
cmake --build --preset "$kb_wine_preset" --target Pelkan2 Hurtle Vaulter2 UNLHA32
runner="build/$kb_wine_preset/wine-run"
exe="build/$kb_wine_preset/bin/Pelkan2.exe"

on_display=false
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  export KB_DISPLAY="$DISPLAY"
  on_display=true
fi

pid=
finish() {
  trap - INT TERM EXIT
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    # taskkill without /f sends the launcher's windows WM_CLOSE: the close
    # sequence runs and saves everything.
    "$runner" taskkill /im Pelkan2.exe >/dev/null 2>&1 || true
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  fi
  "$runner" --shutdown
}
trap finish INT TERM EXIT

"$runner" "$exe" &
pid=$!
if ! $on_display; then
  # The first start makes the Wine prefix (half a minute or more where the
  # 32-bit programs run emulated): wait for the bar itself, not a fixed time.
  display=
  for _ in $(seq 1 1800); do
    kill -0 "$pid" 2>/dev/null || break
    if [ -z "$display" ] && [ -f "build/$kb_wine_preset/xdisplay.state" ]; then
      display=":$(cut -d' ' -f1 "build/$kb_wine_preset/xdisplay.state")"
    fi
    if [ -n "$display" ] &&
       DISPLAY="$display" xdotool search --onlyvisible --name '^Kobarune$' >/dev/null 2>&1; then
      sleep 1  # its first paint
      break
    fi
    sleep 0.1
  done
  if [ -n "$display" ] &&
     DISPLAY="$display" xwd -root -silent | convert xwd:- build/screenshot.png 2>/dev/null; then
    echo "Kobarune runs on the virtual display $display; screenshot: build/screenshot.png"
  fi
fi
echo "Press Ctrl+C to close the launcher."
wait "$pid" || true
