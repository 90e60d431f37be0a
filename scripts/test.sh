#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: the host unit
# tests, then the Windows tests of the shipped 32-bit programs under Wine.
# Exits non-zero when a test fails.
set -uo pipefail
source "$(dirname "$0")/common.sh"
cd "$kb_root"
bash scripts/setup.sh || exit 1

status=0
step() { echo "== $*"; "$@" || status=1; }

step cmake --preset host >/dev/null
step cmake --build --preset host
step ctest --preset host

# The shipped 32-bit programs, tested under Wine (through qemu-i386 where
# the kernel runs no 32-bit code).
step cmake --preset windows >/dev/null
step cmake --build --preset windows
# The same sources for 64-bit Windows, only compiled: they must stay 64-bit
# clean and warning-free.
step cmake --preset windows64 >/dev/null
step cmake --build --preset windows64
step ctest --preset windows
build/windows/wine-run --shutdown

if [ -x scripts/fuzz.sh ]; then step bash scripts/fuzz.sh --short; fi
[ $status -eq 0 ] && echo "== all tests passed" || echo "== some step failed"
exit $status
