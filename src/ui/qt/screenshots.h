#pragma once
// The program's --screenshot mode: the desktop scenario (app/scenario.h) run against
// this face, with pictures of its windows as PNG files, for the documentation and for
// checking the layouts by eye. The same scenario is the face's test.

#include <QString>

namespace trv810::ui {

class MainWindowWidget;

/// Runs the scenario against `window` with the unit on COM1 (the simulator) and
/// writes its pictures into `directory` (created if needed). False, with the reason
/// on standard error, when a step of the scenario failed or a picture could not be
/// written.
bool writeScreenshots(MainWindowWidget& window, const QString& directory);

}  // namespace trv810::ui
