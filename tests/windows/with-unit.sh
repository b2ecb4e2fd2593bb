#!/usr/bin/env bash
# Runs a Windows test program under Wine with the Linux simulator as a COM port:
#
#   tests/windows/with-unit.sh [SIM-OPTIONS] -- PROGRAM.exe [ARGS...]
#
# Starts trv810-sim ($TRV810_SIM, default build/release/src/sim/trv810-sim) with the
# options given and --save-config/--save-firmware into a fresh folder, links
# dosdevices/comN of the Wine prefix to its pseudo-terminal (N from 20 up, the first
# one free), and runs PROGRAM through cmake/wine-run.sh with TRV810_TEST_PORT=COMn and
# TRV810_TEST_UNIT set to that folder (as a Windows path). Stops the simulator and
# removes the link and the folder however the program ends; exits with its status.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

sim=${TRV810_SIM:-$root/build/release/src/sim/trv810-sim}
sim_args=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do sim_args+=("$1"); shift; done
[ $# -gt 0 ] && shift
[ $# -gt 0 ] || { echo "with-unit.sh: no program given" >&2; exit 2; }
[ -x "$sim" ] || { echo "with-unit.sh: $sim not built (the Linux release build makes it)" >&2; exit 2; }

# The prefix wine-run.sh would choose for the program.
if [ -z "${WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$1")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  export WINEPREFIX=$dir/wine-prefix
fi
mkdir -p "$WINEPREFIX/dosdevices"

unit=$(mktemp -d)
link=""
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && { kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; }
  [ -n "$link" ] && rm -f "$link"
  rm -rf "$unit"
}
trap cleanup EXIT

"$sim" "${sim_args[@]}" --save-config "$unit/unit.kfg" --save-firmware "$unit/unit.bin" \
  >"$unit/sim.out" 2>"$unit/sim.log" &
sim_pid=$!
pty=""
for _ in $(seq 200); do
  pty=$(sed -n 's/^PTY //p' "$unit/sim.out" | head -n1)
  [ -n "$pty" ] && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.05
done
[ -n "$pty" ] || { echo "with-unit.sh: the simulator did not start:" >&2; cat "$unit/sim.log" >&2; exit 1; }

# Links an earlier run left behind point nowhere now: drop them. Then take the first
# free COM number; ln -s without -f fails when another run took it meanwhile.
find "$WINEPREFIX/dosdevices" -maxdepth 1 -name 'com[2-9][0-9]' -xtype l -delete
for n in $(seq 20 99); do
  if ln -s "$pty" "$WINEPREFIX/dosdevices/com$n" 2>/dev/null; then
    link=$WINEPREFIX/dosdevices/com$n
    break
  fi
done
[ -n "$link" ] || { echo "with-unit.sh: no free COM number in $WINEPREFIX" >&2; exit 1; }

status=0
TRV810_TEST_PORT=COM$n TRV810_TEST_UNIT="Z:${unit//\//\\}" WINEPATH= \
  "$root/cmake/wine-run.sh" "$@" || status=$?
if [ "$status" -ne 0 ]; then
  echo "with-unit.sh: the simulator's log:" >&2
  tail -n 20 "$unit/sim.log" >&2
fi
exit "$status"
