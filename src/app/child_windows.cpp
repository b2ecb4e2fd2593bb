#include "app/child_windows.h"

#include "app/texts.h"
#include "firmware/update_window.h"

namespace trv810::app {

ChildFrame childFrame(ChildKind kind, const ShellState& shell) {
  if (kind == ChildKind::FlashUpdate)
    return {texts::kFlashUpdateTitle, firmware::UpdateWindow::layout(shell.cell, shell.clientWidth).frame};
  return {texts::kConfigurationTitle, {0, 0, shell.clientWidth, shell.clientHeight}};
}

}  // namespace trv810::app
