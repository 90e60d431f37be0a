# Sourced by the test scripts that run a Wine session of their own, with
# `arch` (WINEARCH), `program` (the test program) and `prefix_tag` set and
# the script's own arguments still in place.  Where the 32-bit programs run
# through emulation the whole script runs again inside a namespace of its own
# (the build's runner knows how), and its Wine processes end with it.  Then
# it makes a prefix for this run alone and sets `wine`, the loader to use.
if [ -z "${KB_SESSION_TEST_INSIDE:-}" ]; then
  runner="$(cd "$(dirname "$program")/.." && pwd)/wine-run"
  KB_SESSION_TEST_INSIDE=1 exec "$runner" --own-session bash "$0" "$@"
fi
if [ "$arch" = win64 ]; then wine=/usr/lib/wine/wine64; else wine=wine; fi
prefix="$(mktemp -d "${TMPDIR:-/tmp}/kb-$prefix_tag.XXXXXX")"
export WINEPREFIX="$prefix" WINEARCH="$arch" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

# Stops the session's server (bounded: a hung one must not hold the test) and
# removes the prefix.
remove_session_prefix() {
  timeout 20 wineserver -k 2>/dev/null
  timeout 20 wineserver -w 2>/dev/null
  rm -rf "$prefix"
}
