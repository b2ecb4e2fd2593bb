#!/usr/bin/env bash
# Pictures of the program's windows as PNG files, by default in build/screenshots/:
# the main window, the port dialog, the Info box, the child windows (the configuration
# window after "TRV auslesen" from the simulated unit, which holds the widest values
# of scripts/widest-values.kfg: 65000 s in every switch-on time and an ident of 16
# "W"; the box that ends the read; a form error scrolled to its row; the file dialog;
# the question before closing; the flash-update window while programming and after
# "Stop") and the signal-sequence dialog. Runs on Qt's offscreen platform with a
# simulated unit as COM1, so it needs no display.
#
#   scripts/screenshots.sh [DIR]
#   scripts/screenshots.sh --windows [DIR]
#
# --windows takes the pictures of trv810.exe from the cross build instead, by default
# in build/screenshots-windows/: under Wine on a virtual display (Xvfb) with a window
# manager (openbox), the simulated unit reached through Wine's COM1 mapping.
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
    scripts/wine-with-sim.sh --baud 0 --erase-delay-ms 50 --config scripts/widest-values.kfg -- \
      build/windows/src/ui/win32/trv810.exe --screenshot "Z:${0//\//\\}"' "$out"
  for picture in "$out"/*.bmp; do convert "$picture" "${picture%.bmp}.png" && rm "$picture"; done
  ls "$out"/*.png
  exit 0
fi
out=${1:-build/screenshots}

scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRV810_GUI=ON >/dev/null
cmake --build build/release -j"$(nproc)" --target trv810 trv810-sim >/dev/null

QT_QPA_PLATFORM=offscreen scripts/with-sim.sh --baud 0 --erase-delay-ms 50 --config scripts/widest-values.kfg -- \
  build/release/src/ui/qt/trv810 --screenshot "$out"
ls "$out"/*.png
