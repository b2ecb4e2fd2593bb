#!/usr/bin/env bash
# Pictures of the program's windows as PNG files, by default in build/screenshots/:
# the desktop scenario (src/app/scenario.cpp), which both faces pass as a test, run
# against the program with a simulated unit as COM1 (holding the widest values of
# scripts/widest-values.kfg), taking its pictures on the way: the main window, the
# Info box, the port dialog, the configuration window after "TRV auslesen" and the box
# that ends the read, a form error and its box, the file dialog, the signal-sequence
# dialog, the question before closing, the flash-update window while the unit erases
# and after "Stop". The Qt program runs on Qt's offscreen platform, so it needs no
# display, on a screen of 1280 x 1024 pixels.
#
#   scripts/screenshots.sh [DIR]
#   scripts/screenshots.sh --windows [DIR]
#
# --windows takes the same pictures, with the same names, of trv810.exe from the cross
# build instead, by default in build/screenshots-windows/: under Wine on a virtual
# display (Xvfb) with a window manager (openbox), the simulated unit reached through
# Wine's COM1 mapping.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--windows" ]; then
  out=$(mkdir -p "${2:-build/screenshots-windows}" && cd "${2:-build/screenshots-windows}" && pwd)
  scripts/install-deps.sh
  cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRV810_GUI=ON >/dev/null
  cmake --build build/release -j"$(nproc)" --target trv810-sim >/dev/null
  scripts/build-windows.sh --no-tests >/dev/null
  rm -f "$out"/*.bmp "$out"/*.png
  LANG=de_DE.UTF-8 xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
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

scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRV810_GUI=ON >/dev/null
cmake --build build/release -j"$(nproc)" --target trv810 trv810-sim >/dev/null

QT_QPA_PLATFORM=offscreen:configfile=$PWD/tests/support/offscreen-1280x1024.json scripts/with-sim.sh --baud 0 --erase-delay-ms 1000 --config scripts/widest-values.kfg -- \
  build/release/src/ui/qt/trv810 --screenshot "$out"
ls "$out"/*.png
