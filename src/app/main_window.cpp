#include "app/main_window.h"

#include <utility>

#include "app/port_dialog.h"
#include "app/texts.h"

namespace trv810::app {

#ifndef TRV810_CORE_VERSION
#define TRV810_CORE_VERSION "unknown"
#endif

MainWindow::MainWindow(ShellState& shell, window::ControlTable& menu, window::WindowHost& host,
                       ShellHost& shellHost, std::function<void()> closePort)
    : shell_(shell), menu_(menu), host_(host), shellHost_(shellHost), closePort_(std::move(closePort)) {}

window::Rect MainWindow::frameFor(window::CellSize cell) {
  return {0, 0, kMainWidthCells * cell.width, kMainHeightCells * cell.height};
}

std::string MainWindow::infoText() {
  std::string text(texts::kInfoVersion);
  text += "  ";
  text += texts::kMainTitle;
  text += "\n\n";
  text += texts::kInfoBody;
  text += "\n\nKern " TRV810_CORE_VERSION;
  return text;
}

window::Rect MainWindow::onCreate(window::CellSize cell) {
  shell_.cell = cell;
  return frameFor(cell);
}

void MainWindow::onSize(int clientWidth, int clientHeight) {
  shell_.clientWidth = clientWidth;
  shell_.clientHeight = clientHeight;
}

bool MainWindow::onCommand(int id, bool fromControl) {
  if (fromControl) return false;
  switch (id) {
    case kCommandFlashUpdate:
      openChild(ChildKind::FlashUpdate);
      return true;
    case kCommandConfiguration:
      openChild(ChildKind::Configuration);
      return true;
    case kCommandPort:
      selectPort();
      return true;
    case kCommandInfo:
      host_.messageBox(infoText(), texts::kShellCaption, window::Icon::Information);
      return true;
    default:
      return false;
  }
}

void MainWindow::openChild(ChildKind kind) {
  // The greyed menu list normally prevents this; a second child would share the one
  // transfer and port with the first.
  if (shell_.childOpen()) return;
  shell_.child = kind;
  setMenuListEnabled(false);
  if (!shellHost_.createChild(kind)) {
    shell_.child = ChildKind::None;
    setMenuListEnabled(true);
  }
}

void MainWindow::onChildClosed() {
  setMenuListEnabled(true);
  closePort_();
  shell_.child = ChildKind::None;
}

void MainWindow::onExit() { closePort_(); }

void MainWindow::selectPort() {
  const int remembered = shell_.selectedPort;
  PortDialog dialog(shell_);
  if (host_.runDialog(dialog, -1) == 0) shell_.selectedPort = remembered;
}

void MainWindow::setMenuListEnabled(bool enabled) {
  for (uint8_t id : kMenuList) {
    if (id == kMenuListEnd) break;
    menu_.setEnabled(id, enabled);
  }
}

}  // namespace trv810::app
