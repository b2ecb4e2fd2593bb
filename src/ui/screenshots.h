#pragma once
// The program's --screenshot mode: pictures of its windows as PNG files, for the
// documentation and for checking the layouts by eye.

#include <QString>

namespace trv810::ui {

class MainWindowWidget;

/// Writes main-window.png, port-dialog.png, info-box.png and one picture per child
/// window into `directory` (created if needed); the flash-update window is shown
/// programming a made-up image when the selected port comes from the environment
/// (the simulator). False when a file could not be written.
bool writeScreenshots(MainWindowWidget& window, const QString& directory);

}  // namespace trv810::ui
