#!/usr/bin/env bash
# Runs the DPI test program in a Wine prefix made for this run alone, once
# with LogPixels 144 and once with 192, and removes the prefix afterwards.
# Wine reads LogPixels when its server starts: the server is stopped
# between the two runs, which the shared test prefix must never see.
#
#   dpi_session_test.sh WINEARCH TEST_PROGRAM.exe
set -u
arch="$1"; program="$2"
prefix_tag=dpi
source "$(dirname "$0")/../../scripts/session_prefix.sh"
trap remove_session_prefix EXIT
cd "$(dirname "$program")" || exit 1
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash -c '
  wine="$0"; program="$1"
  openbox --sm-disable </dev/null >/dev/null 2>&1 &
  wm=$!
  "$wine" wineboot -i </dev/null >/dev/null 2>&1
  for face in "ＭＳ Ｐゴシック" "MS PGothic" "MS UI Gothic"; do
    "$wine" reg add "HKCU\\Software\\Wine\\Fonts\\Replacements" /v "$face" /d IPAPGothic /f \
      </dev/null >/dev/null 2>&1
  done
  status=0
  for dpi in 144 192; do
    "$wine" reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d $dpi /f \
      </dev/null >/dev/null 2>&1
    wineserver -w   # the next server reads the new value
    "$wine" cmd /c exit </dev/null >/dev/null 2>&1
    echo "--- LogPixels $dpi"
    KB_EXPECT_DPI=$dpi "$wine" "$program" --gtest_color=no </dev/null || status=1
    wineserver -k; wineserver -w
  done
  kill $wm 2>/dev/null
  exit $status' "$wine" "$program"
