#include "app/main_window.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <utility>

#include "app/child_windows.h"
#include "app/port_dialog.h"
#include "app/remembered.h"
#include "app/texts.h"
#include "platform/file_reader.h"

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

window::Rect MainWindow::fitFrame(window::Rect frame, window::Rect area, int barWidth, int barHeight) {
  // A scroll bar in one direction narrows the client area across, which may call for
  // the other one; two rounds settle it.
  bool vertical = false;
  bool horizontal = false;
  for (int round = 0; round < 2; ++round) {
    vertical = frame.h + (horizontal ? barHeight : 0) > area.h;
    horizontal = frame.w + (vertical ? barWidth : 0) > area.w;
  }
  const int w = std::min(frame.w + (vertical ? barWidth : 0), area.w);
  const int h = std::min(frame.h + (horizontal ? barHeight : 0), area.h);
  return {std::clamp(frame.x, area.x, area.x + area.w - w), std::clamp(frame.y, area.y, area.y + area.h - h), w, h};
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

window::Rect MainWindow::onCreate(window::CellSize cell, const std::vector<window::Rect>& screens) {
  shell_.cell = cell;
  window::Rect frame = frameFor(cell);
  const std::optional<WindowPosition> last = shell_.remembered ? shell_.remembered->mainWindowPosition() : std::nullopt;
  if (!last) return frame;
  // The title bar, by which the window is moved, must be reachable: its first part
  // (two cells high, up to 16 wide) lies whole on one screen. A screen unplugged since
  // or a smaller resolution puts the window back at 0,0.
  const window::Rect title{last->x, last->y, std::min(frame.w, 16 * cell.width), 2 * cell.height};
  const auto holds = [&title](const window::Rect& screen) {
    return title.x >= screen.x && title.y >= screen.y && title.x + title.w <= screen.x + screen.w &&
           title.y + title.h <= screen.y + screen.h;
  };
  if (std::any_of(screens.begin(), screens.end(), holds)) {
    frame.x = last->x;
    frame.y = last->y;
  }
  return frame;
}

void MainWindow::onClosing(window::Point topLeft) {
  if (shell_.remembered) shell_.remembered->setMainWindowPosition({topLeft.x, topLeft.y});
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

void MainWindow::openFile(const std::string& path) {
  const ChildKind kind = childKindForFile(path);
  if (kind == ChildKind::None) {
    host_.messageBox(std::string(texts::kUnknownFileKind) + "\n" + path, texts::kShellCaption, window::Icon::Error);
    return;
  }
  // A file that cannot be read for another reason is the loader's to report, with the
  // window it was meant for open.
  platform::FileReader file;
  if (const platform::FileResult opened = file.open(path); !opened && opened.error == ENOENT) {
    host_.messageBox(std::string(texts::kMissingFile) + "\n" + path, texts::kShellCaption, window::Icon::Error);
    return;
  }
  file.close();
  if (shell_.childOpen() && shell_.child != kind) {
    const std::string_view open = childFrame(shell_.child, shell_).title;
    host_.messageBox(std::string(texts::kCloseFirst) + std::string(open) + std::string(texts::kCloseFirstEnd) + "\n" +
                         path,
                     texts::kShellCaption, window::Icon::Information);
    return;
  }
  openChild(kind);
  if (ChildLogic* child = shell_.child == kind ? shellHost_.openChild() : nullptr) child->openFile(path);
}

void MainWindow::onChildClosed() {
  setMenuListEnabled(true);
  closePort_();
  shell_.child = ChildKind::None;
}

void MainWindow::onExit() { closePort_(); }

void MainWindow::selectPort() {
  const int before = shell_.selectedPort;
  PortDialog dialog(shell_);
  if (host_.runDialog(dialog, -1) == 0) {
    shell_.selectedPort = before;
    return;
  }
  if (shell_.remembered) shell_.remembered->setPort(shell_.selectedEntry().name);
}

void MainWindow::setMenuListEnabled(bool enabled) {
  for (uint8_t id : kMenuList) {
    if (id == kMenuListEnd) break;
    menu_.setEnabled(id, enabled);
  }
}

}  // namespace trv810::app
