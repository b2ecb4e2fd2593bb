#pragma once
// The child windows the menu opens, as both desktop faces build them: the title each
// starts with and its frame in the main window's client area. The controls inside
// come from each window's own layout table.

#include <string_view>

#include "app/shell_state.h"
#include "platform/layout.h"

namespace trv810::app {

struct ChildFrame {
  std::string_view title;  ///< UTF-8
  platform::Rect frame;    ///< outer frame, relative to the main window's client area
};

/// Title and frame of the child window of `kind` (not None) for the shell's cell and
/// client size: the configuration window fills the client area, the flash-update
/// window takes the frame of its layout.
ChildFrame childFrame(ChildKind kind, const ShellState& shell);

}  // namespace trv810::app
