#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in their own build folders and runs them: the
# profile parser, then the LZH archive reader.
#
#   scripts/fuzz.sh --short   about 25 s + 6 s (run by scripts/test.sh)
#   scripts/fuzz.sh --long    an hour each, or FUZZ_SECONDS=n for another length
#                             (LZH_FUZZ_SECONDS=n for the archive reader alone)
#
# Exits non-zero when a build fails or a target finds a crash; the input
# that crashed is kept in build/fuzz/artifacts/ or build/fuzz-lzh/artifacts/.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$kb_root"

mode="${1:---short}"
case "$mode" in
  --short) seconds="${FUZZ_SECONDS:-25}"; lzh_seconds="${LZH_FUZZ_SECONDS:-6}" ;;
  --long) seconds="${FUZZ_SECONDS:-3600}"; lzh_seconds="${LZH_FUZZ_SECONDS:-$seconds}" ;;
  *) echo "usage: $0 [--short|--long]" >&2; exit 2 ;;
esac

build=build/fuzz
cmake -S common/fuzz -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j2

# The corpus starts from a few settings files of the launcher's own shape and
# grows with what the fuzzer finds (kept between runs).
corpus="$build/corpus"
artifacts="$build/artifacts"
mkdir -p "$corpus" "$artifacts"
if [ -z "$(ls -A "$corpus")" ]; then
  printf '[Info]\r\nType=1\r\nVersion=2.00\r\n[Button1]\r\nFPFileName="C:\\a b\\x.exe"\r\n' >"$corpus/seed1"
  printf '; c\n[ Sec ]\n k = v \nk=2\n[bad\nnoequals\n\n[S]\rk=\r' >"$corpus/seed2"
  printf '\xef\xbb\xbf[A]\r\nk=\xe5\x90\x8d\r\n' >"$corpus/seed3"
  printf '\xff\xfe[\0A\0]\0\r\0\n\0k\0=\0v\0' >"$corpus/seed4"
  printf '[\x95\x5c]\r\n\x83\x5c=\x95\x5c\x5c\r\n[\x83\x5d\r\n' >"$corpus/seed5"
fi

echo "fuzzing the profile parser for ${seconds} s"
"$build/profile_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
  -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" >"$build/last-run.log" 2>&1 || {
  tail -n 60 "$build/last-run.log"
  echo "the fuzz target failed; the input is in $artifacts/" >&2
  exit 1
}
grep -E '^(#[0-9]+ *DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$build/last-run.log" || true

# The LZH archive reader: any bytes as an archive, every member unpacked.  The
# corpus starts from small archives the packer itself makes and from the
# older methods at every header level.
lzh_build=build/fuzz-lzh
cmake -S lzh/fuzz -B "$lzh_build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$lzh_build" -j2
lzh_corpus="$lzh_build/corpus"
lzh_artifacts="$lzh_build/artifacts"
mkdir -p "$lzh_corpus" "$lzh_artifacts"
# The seeds are written every time (under their own names), so a corpus kept
# from before gains the kinds added since.
"$lzh_build/lzh_fuzz_seeds" "$lzh_corpus"

echo "fuzzing the LZH archive reader for ${lzh_seconds} s"
"$lzh_build/lzh_fuzz" -max_total_time="$lzh_seconds" -max_len=8192 -timeout=10 \
  -print_final_stats=1 -artifact_prefix="$lzh_artifacts/" "$lzh_corpus" >"$lzh_build/last-run.log" 2>&1 || {
  tail -n 60 "$lzh_build/last-run.log"
  echo "the LZH fuzz target failed; the input is in $lzh_artifacts/" >&2
  exit 1
}
grep -E '^(#[0-9]+ *DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$lzh_build/last-run.log" || true
