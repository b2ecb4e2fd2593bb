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
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/screenshots}

scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRV810_GUI=ON >/dev/null
cmake --build build/release -j"$(nproc)" --target trv810 trv810-sim >/dev/null

QT_QPA_PLATFORM=offscreen scripts/with-sim.sh --baud 0 --erase-delay-ms 50 --config scripts/widest-values.kfg -- \
  build/release/src/ui/qt/trv810 --screenshot "$out"
ls "$out"/*.png
