#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine with a simulated TRV810 on its
# COM1, through Wine's port mapping: the simulator's pseudo-terminal becomes the
# prefix's dosdevices/com1, so the program opens "\\.\COM1" as on a real machine.
#
#   scripts/wine-with-sim.sh [SIM-OPTIONS] -- PROGRAM.exe [ARGS...]
#
# The Wine prefix is build/windows/wine-prefix (or $WINEPREFIX); the simulator is the
# Linux build's (see with-sim.sh). Exits with the program's status. (The tests use
# tests/windows/with-unit.sh, which takes a COM number of its own for each run.)
set -euo pipefail
cd "$(dirname "$0")/.."
export WINEPREFIX=${WINEPREFIX:-$PWD/build/windows/wine-prefix}
sim_args=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do sim_args+=("$1"); shift; done
[ $# -gt 0 ] && shift
[ $# -gt 0 ] || { echo "wine-with-sim.sh: no program given" >&2; exit 2; }
# A new prefix is set up first, so its own COM mappings do not replace ours later.
cmake/wine-run.sh wineboot >/dev/null 2>&1 || true
scripts/with-sim.sh "${sim_args[@]}" -- bash -c '
  ln -sfn "$TRV810_COM1" "$WINEPREFIX/dosdevices/com1"
  unset TRV810_COM1
  exec cmake/wine-run.sh "$@"' wine-with-sim "$@"
