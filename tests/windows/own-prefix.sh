#!/usr/bin/env bash
# Runs a command under a Wine prefix of its own, for a test whose display differs from
# the one the build's shared prefix met: a prefix's Wine server keeps the screens it
# found when it started, so a program on a smaller display would still be told of the
# larger one. The prefix's server is ended before and after, which touches no other
# test's programs.
#
#   tests/windows/own-prefix.sh PREFIX -- COMMAND [ARG...]
set -euo pipefail
export WINEPREFIX=$1
shift
[ "${1:-}" = "--" ] && shift
wineserver=${TRV810_WINE:-/usr/lib/wine/wine64}
wineserver=${wineserver%/*}/wineserver
[ -f "$WINEPREFIX/system.reg" ] && "$wineserver" -k 2>/dev/null || true
status=0
"$@" || status=$?
"$wineserver" -k 2>/dev/null || true
exit "$status"
