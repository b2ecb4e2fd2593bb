#!/usr/bin/env bash
# Runs a command on a virtual X display of its own:
#   own-display.sh [--screen WxHxD] -- COMMAND [ARG...]
# The X server picks a free display number itself (-displayfd) and says which once it
# accepts connections, so tests started at the same moment never end up on the same
# number, as with xvfb-run -a, whose guess two starts can make alike (the second
# server then fails and its program finds no display).
set -euo pipefail
screen=1280x1024x24
while [[ $# -gt 0 ]]; do
  case $1 in
    --screen) screen=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
dir=$(mktemp -d "${TMPDIR:-/tmp}/trv810-display-XXXXXX")
server=
cleanup() {
  if [[ -n $server ]]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$dir"
}
trap cleanup EXIT
mkfifo "$dir/number"
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$dir/number" 2>"$dir/log" &
server=$!
number=
read -r number <"$dir/number" || true
if [[ -z $number ]]; then
  echo "own-display.sh: Xvfb did not start:" >&2
  cat "$dir/log" >&2
  exit 1
fi
status=0
DISPLAY=:$number "$@" || status=$?
exit "$status"
