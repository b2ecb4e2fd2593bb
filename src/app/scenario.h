#pragma once
// The scenario every face of the desktop program must pass, and that its screenshot
// command runs: the port dialog by keyboard, a read, edits (65000 s, a 16-character
// ident), a form error, a write, save and load, the signal-sequence dialog, a flash
// stopped by the user, the questions before work is lost, and the keys that must do
// nothing (a plain letter starts no command; Enter answers "Nein"). It expects the
// unit on the selected port (the simulator) and takes pictures named as the README
// lists them.

#include <string>

#include "window/scenario.h"

namespace trv810::app {

/// The scenario, with its files (a configuration it saves and loads, a small firmware
/// image it writes first) in `folder` (UTF-8, existing).
window::Scenario desktopScenario(const std::string& folder);

}  // namespace trv810::app
