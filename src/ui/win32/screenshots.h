#pragma once
// The program's --screenshot mode on Windows: the desktop scenario (app/scenario.h)
// run against this face, with pictures of its windows as BMP files
// (scripts/screenshots.sh turns them into PNG). The same scenario is the face's test.

#include <string>

namespace trv810::ui::win32 {

class MainWindow;

/// Runs the scenario against `window` with the unit on COM1 (the simulator, through
/// the port mapping) and writes its pictures into `directory` (created if needed).
/// False, with the reason on standard error, when a step of the scenario failed.
bool writeScreenshots(MainWindow& window, const std::wstring& directory);

}  // namespace trv810::ui::win32
