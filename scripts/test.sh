#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: the host unit
# tests, then the Windows tests under Wine.  Exits non-zero when a test fails.
set -uo pipefail
source "$(dirname "$0")/common.sh"
cd "$kb_root"
bash scripts/setup.sh || exit 1

status=0
step() { echo "== $*"; "$@" || status=1; }

step cmake --preset host >/dev/null
step cmake --build --preset host
step ctest --preset host

if [ "$kb_wine_preset" != windows ]; then
  # The 32-bit deliverables must build even where they cannot run.
  step cmake --preset windows >/dev/null
  step cmake --build --preset windows --target Pelkan2 Hurtle Vaulter2 UNLHA32
fi
step cmake --preset "$kb_wine_preset" >/dev/null
step cmake --build --preset "$kb_wine_preset"
step ctest --preset "$kb_wine_preset"
"build/$kb_wine_preset/wine-run" --shutdown

if [ -x scripts/fuzz.sh ]; then step bash scripts/fuzz.sh --short; fi
[ $status -eq 0 ] && echo "== all tests passed" || echo "== some step failed"
exit $status
