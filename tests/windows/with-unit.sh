#!/usr/bin/env bash
# Runs a Windows test program under Wine with the Linux simulator as a COM port:
#
#   tests/windows/with-unit.sh [--ser2net] [--com1] [SIM-OPTIONS] -- PROGRAM.exe [ARGS...]
#
# With --com1 the program's COM1 is the unit too (TRV810_COM1=\\.\COMn), for the
# desktop program, which starts on COM1.
# With --ser2net it also starts ser2net in front of the simulator on two free loopback
# ports, raw and with RFC 2217, and hands the program their addresses as
# TRV810_TEST_RAW and TRV810_TEST_RFC2217.
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
with_ser2net=""
if [ "${1:-}" = "--ser2net" ]; then with_ser2net=1; shift; fi
as_com1=""
if [ "${1:-}" = "--com1" ]; then as_com1=1; shift; fi
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
s2n_pid=""
cleanup() {
  [ -n "$s2n_pid" ] && { kill "$s2n_pid" 2>/dev/null || true; wait "$s2n_pid" 2>/dev/null || true; }
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

# ser2net on two ports that are free now; other runs on this machine take ports too,
# so a port taken meanwhile shows as ser2net not listening there, and others are tried.
listening() { ss -Htlnp "sport = :$1" 2>/dev/null | grep -q "pid=$2,"; }
start_ser2net() {
  local s2n
  s2n=$(command -v ser2net || echo /usr/sbin/ser2net)
  for _ in 1 2 3 4 5; do
    raw_port=$((20000 + RANDOM % 40000))
    telnet_port=$((raw_port + 1))
    printf '%s\n' "connection: &raw" "  accepter: tcp,127.0.0.1,$raw_port" \
      "  connector: serialdev,$pty,19200n81,local" "  options:" "    chardelay: false" \
      "connection: &rfc2217" "  accepter: telnet(rfc2217),tcp,127.0.0.1,$telnet_port" \
      "  connector: serialdev,$pty,19200n81,local" "  options:" "    chardelay: false" >"$unit/ser2net.yaml"
    "$s2n" -d -u -c "$unit/ser2net.yaml" -P "$unit/ser2net.pid" >"$unit/ser2net.log" 2>&1 &
    s2n_pid=$!
    for _ in $(seq 200); do
      listening "$raw_port" "$s2n_pid" && listening "$telnet_port" "$s2n_pid" && return 0
      grep -q "Unable to startup" "$unit/ser2net.log" && break
      sleep 0.05
    done
    kill "$s2n_pid" 2>/dev/null || true
    wait "$s2n_pid" 2>/dev/null || true
    s2n_pid=""
  done
  return 1
}
network=()
if [ -n "$with_ser2net" ]; then
  start_ser2net || { echo "with-unit.sh: ser2net did not start:" >&2; cat "$unit/ser2net.log" >&2; exit 1; }
  network=(TRV810_TEST_RAW="socket://127.0.0.1:$raw_port" TRV810_TEST_RFC2217="rfc2217://127.0.0.1:$telnet_port")
fi

[ -n "$as_com1" ] && network+=("TRV810_COM1=\\\\.\\COM$n")
status=0
env "${network[@]}" TRV810_TEST_PORT=COM$n TRV810_TEST_UNIT="Z:${unit//\//\\}" WINEPATH= \
  "$root/cmake/wine-run.sh" "$@" || status=$?
if [ "$status" -ne 0 ]; then
  echo "with-unit.sh: the simulator's log:" >&2
  tail -n 20 "$unit/sim.log" >&2
fi
exit "$status"
