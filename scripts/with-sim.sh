#!/usr/bin/env bash
# Runs a command with a simulated TRV810 attached as COM1:
#
#   scripts/with-sim.sh [SIM-OPTIONS] -- COMMAND [ARGS...]
#
# Starts trv810-sim (from $TRV810_SIM, default build/release/src/sim/trv810-sim) with
# the options given, waits for the pseudo-terminal it serves, runs COMMAND with
# TRV810_COM1 set to it, and stops the simulator when COMMAND ends, however it ends.
# Exits with COMMAND's status. The simulator's stderr goes to $TRV810_SIM_LOG
# (default build/release/trv810-sim.log).
set -euo pipefail

sim=${TRV810_SIM:-build/release/src/sim/trv810-sim}
log=${TRV810_SIM_LOG:-build/release/trv810-sim.log}
sim_args=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do sim_args+=("$1"); shift; done
[ $# -gt 0 ] && shift
if [ $# -eq 0 ]; then
  echo "with-sim.sh: no command given (usage: with-sim.sh [SIM-OPTIONS] -- COMMAND...)" >&2
  exit 2
fi
[ -x "$sim" ] || { echo "with-sim.sh: $sim not built" >&2; exit 2; }

out=$(mktemp)
mkdir -p "$(dirname "$log")"
"$sim" "${sim_args[@]}" >"$out" 2>"$log" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; rm -f "$out"' EXIT

# Its first line is "PTY <device>".
pty=""
for _ in $(seq 100); do
  pty=$(sed -n 's/^PTY //p' "$out" | head -n1)
  [ -n "$pty" ] && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.05
done
if [ -z "$pty" ]; then
  echo "with-sim.sh: the simulator did not start; see $log" >&2
  exit 1
fi
echo "with-sim.sh: simulated TRV810 on $pty (COM1)" >&2

status=0
TRV810_COM1=$pty "$@" || status=$?
exit "$status"
