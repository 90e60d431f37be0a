#!/usr/bin/env bash
# Sets up the machine, builds the launcher and starts it under Wine.
# On a Linux desktop it appears on your display.  Without a display it runs on
# a virtual one, saves a screenshot to build/screenshot.png and keeps running
# until interrupted (Ctrl+C).
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$kb_root"
bash scripts/setup.sh
cmake --preset "$kb_wine_preset" >/dev/null
cmake --build --preset "$kb_wine_preset" --target Pelkan2 Hurtle Vaulter2
runner="build/$kb_wine_preset/wine-run"
exe="build/$kb_wine_preset/bin/Pelkan2.exe"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  KB_DISPLAY="$DISPLAY" exec "$runner" "$exe"
fi

trap '"$runner" --shutdown' EXIT
"$runner" "$exe" &
pid=$!
sleep 6
display=":$(cut -d' ' -f1 "build/$kb_wine_preset/xdisplay.state")"
if DISPLAY="$display" xwd -root -silent | convert xwd:- build/screenshot.png 2>/dev/null; then
  echo "Kobarune runs on the virtual display $display; screenshot: build/screenshot.png"
fi
echo "Press Ctrl+C to stop."
wait "$pid"
