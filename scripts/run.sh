#!/usr/bin/env bash
# Builds and starts the desktop program trv810.
#
#   scripts/run.sh [-- SIM-OPTIONS]   with a simulated unit: trv810-sim serves a
#                                     pseudo-terminal that COM1 stands for, and stops
#                                     when the program ends
#   scripts/run.sh --real             alone, for a real unit (TRV810_COM<n> apply)
#   scripts/run.sh --device DEVICE    alone, with COM1 standing for DEVICE
#
# SIM-OPTIONS go to trv810-sim, e.g. "-- --drop 5%" or "-- --formats 2,1".
# The program needs a display; without one this says how to use xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=sim
device=""
sim_args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --real) mode=real ;;
    --device)
      mode=real
      device=${2:-}
      [ -n "$device" ] || { echo "run.sh: --device needs a device path" >&2; exit 2; }
      shift ;;
    --) shift; sim_args=("$@"); break ;;
    -h|--help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "run.sh: unknown argument '$1' (see --help)" >&2; exit 2 ;;
  esac
  shift
done

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<'TEXT'
run.sh: there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set).
  Run it inside a virtual X server:   xvfb-run -a scripts/run.sh
  (add -s "-screen 0 1280x1024x24" for a bigger screen), or take pictures of its
  windows without any display:        scripts/screenshots.sh
TEXT
  exit 1
fi

scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRV810_GUI=ON >/dev/null
cmake --build build/release -j"$(nproc)" --target trv810 trv810-sim >/dev/null

program=build/release/src/ui/qt/trv810
if [ "$mode" = real ]; then
  [ -n "$device" ] && export TRV810_COM1="$device"
  exec "$program"
fi
exec scripts/with-sim.sh "${sim_args[@]}" -- "$program"
