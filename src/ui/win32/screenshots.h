#pragma once
// The program's --screenshot mode on Windows: pictures of its windows as BMP files
// (scripts/screenshots.sh turns them into PNG), for checking the layouts by eye.

#include <string>

namespace trv810::ui::win32 {

class MainWindow;

/// Writes main-window.bmp, port-dialog.bmp, info-box.bmp, configuration-window.bmp
/// after "TRV auslesen" from the unit on COM1 (the simulator, through the port
/// mapping), configuration-read-box.bmp, signal-box.bmp, file-dialog.bmp,
/// configuration-close-question.bmp, flash-update-window.bmp (programming a made-up
/// image) and flash-update-stopped.bmp (after "Stop") into `directory`
/// (created if needed). False when a picture could not be written or the read did
/// not end.
bool writeScreenshots(MainWindow& window, const std::wstring& directory);

}  // namespace trv810::ui::win32
