#!/usr/bin/env bash
# Pictures of the program's windows as PNG files, by default in build/screenshots/:
# the desktop scenario (src/app/scenario.cpp), which both faces pass as a test, run
# against the program with a simulated unit as COM1 (holding the widest values of
# scripts/widest-values.kfg), taking its pictures on the way: the main window, the
# Info box, the port dialog, the configuration window after "TRV auslesen" and the box
# that ends the read, a form error and its box, the file dialog, the signal-sequence
# dialog, the question before closing, the flash-update window while the unit erases
# and after "Stop". The Qt program runs on Qt's offscreen platform, so it needs no
# display.
#
#   scripts/screenshots.sh [--screen WxH] [DIR]
#   scripts/screenshots.sh --windows [--screen WxH] [--dpi N] [DIR]
#
# --windows takes the same pictures, with the same names, of trv810.exe from the cross
# build instead, by default in build/screenshots-windows/: under Wine on a virtual
# display (Xvfb) with a window manager (openbox), the simulated unit reached through
# Wine's COM1 mapping.
#
# --screen takes the pictures on a screen of that size instead of 1280x1024 (on a
# smaller one the main window fills it and scrolls); --dpi sets Windows' font scale
# (96 is 100 %, 144 is 150 %) in a Wine prefix of its own, build/windows/wine-prefix-dpiN.
set -euo pipefail
cd "$(dirname "$0")/.."
windows=
screen=1280x1024
dpi=96
while [ $# -gt 0 ]; do
  case $1 in
    --windows) windows=1; shift ;;
    --screen) screen=$2; shift 2 ;;
    --dpi) dpi=$2; shift 2 ;;
    *) break ;;
  esac
done
if [ -n "$windows" ]; then
  out=$(mkdir -p "${1:-build/screenshots-windows}" && cd "${1:-build/screenshots-windows}" && pwd)
  scripts/install-deps.sh
  cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRV810_GUI=ON >/dev/null
  cmake --build build/release -j"$(nproc)" --target trv810-sim >/dev/null
  scripts/build-windows.sh --no-tests >/dev/null
  rm -f "$out"/*.bmp "$out"/*.png
  if [ "$dpi" != 96 ]; then
    export WINEPREFIX=$PWD/build/windows/wine-prefix-dpi$dpi
    for key in 'HKCU\Control Panel\Desktop' 'HKCC\Software\Fonts'; do
      cmake/wine-run.sh reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    done
  fi
  LANG=de_DE.UTF-8 tests/support/own-display.sh --screen "${screen}x24" -- bash -c '
    openbox >/dev/null 2>&1 & wm=$!
    trap "kill $wm" EXIT
    scripts/wine-with-sim.sh --baud 0 --erase-delay-ms 1000 --config scripts/widest-values.kfg -- \
      build/windows/src/ui/win32/trv810.exe --screenshot "Z:${0//\//\\}"' "$out"
  for picture in "$out"/*.bmp; do convert "$picture" "${picture%.bmp}.png" && rm "$picture"; done
  ls "$out"/*.png
  exit 0
fi
out=${1:-build/screenshots}
rm -f "$out"/*.png
# The offscreen platform's screen, 800 x 600 unless its configuration names one.
config=$(mktemp --suffix=.json)
trap 'rm -f "$config"' EXIT
printf '{"screens": [{"name": "Screen", "x": 0, "y": 0, "width": %d, "height": %d, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]}\n' \
  "${screen%x*}" "${screen#*x}" >"$config"

scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRV810_GUI=ON >/dev/null
cmake --build build/release -j"$(nproc)" --target trv810 trv810-sim >/dev/null

QT_QPA_PLATFORM=offscreen:configfile=$config scripts/with-sim.sh --baud 0 --erase-delay-ms 1000 --config scripts/widest-values.kfg -- \
  build/release/src/ui/qt/trv810 --screenshot "$out"
ls "$out"/*.png
