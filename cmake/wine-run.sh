#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine: ctest and GoogleTest's test
# discovery start every test program through this (CMAKE_CROSSCOMPILING_EMULATOR).
#
# Wine keeps its state in a prefix; ours is private to the build, so the tests never
# touch a user's ~/.wine: $WINEPREFIX if set, else the folder wine-prefix beside this
# build's CMakeCache.txt (found from the program's path). The first start in a new
# prefix sets it up (wineboot), which takes a while; later starts reuse it.
set -euo pipefail

program=$1
if [ -z "${WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$program")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ -f "$dir/CMakeCache.txt" ] || { echo "wine-run.sh: no build folder above $program" >&2; exit 2; }
  export WINEPREFIX=$dir/wine-prefix
fi
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=${TRV810_WINE:-/usr/lib/wine/wine64}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  # One set-up at a time: parallel tests would each start their own.
  (
    flock 9
    [ -f "$WINEPREFIX/system.reg" ] || { "$wine" wineboot --init >/dev/null 2>&1; "${wine%/*}/wineserver" -w; }
  ) 9>"$WINEPREFIX.lock"
fi
# Start the prefix's server ourselves, detached from this program's output and kept
# for 30 s after its last client: started by wine, it would hold the test's output
# open for its few seconds of lingering, and ctest waits for that to close.
"${wine%/*}/wineserver" -p30 </dev/null >/dev/null 2>&1 || true
exec "$wine" "$@"
