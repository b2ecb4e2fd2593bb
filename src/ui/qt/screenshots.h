#pragma once
// The program's --screenshot mode: pictures of its windows as PNG files, for the
// documentation and for checking the layouts by eye.

#include <QString>

namespace trv810::ui {

class MainWindowWidget;

/// Writes main-window.png, port-dialog.png, info-box.png, one picture per child
/// window and, for the configuration window, its state after "TRV auslesen" from the
/// unit on COM1 (configuration-window.png), the box that ends the read and the
/// signal-sequence dialog (signal-box.png) into `directory` (created if needed).
/// The flash-update window is shown programming a made-up image when the selected
/// port comes from the environment (the simulator). False when a file could not be written or the read did not end.
bool writeScreenshots(MainWindowWidget& window, const QString& directory);

}  // namespace trv810::ui
