#pragma once
// The main window's logic: it takes the character cell measured at creation and
// sizes the window to 104 x 46 cells, at 0,0 or where it stood when the program ended
// last (when that is still on a screen), cut to a smaller screen's work area with its
// client area scrolling then; its menu opens one child window at a time (greying the
// menu list while it exists), runs the port dialog (the port chosen with OK is the one
// the next start selects) and shows the Info box. The window has no controls of its
// own; the menu is reached through a
// control table indexed by command id (enabled = not greyed).

#include <functional>
#include <string>
#include <vector>

#include "app/shell_host.h"
#include "app/shell_state.h"
#include "window/control_input.h"
#include "window/controls.h"
#include "window/layout.h"
#include "window/window_host.h"

namespace trv810::app {

class MainWindow {
 public:
  /// `closePort` stops a running transfer and the receiver and closes the port.
  MainWindow(ShellState& shell, window::ControlTable& menu, window::WindowHost& host,
             ShellHost& shellHost, std::function<void()> closePort);

  /// The outer frame for `cell`: screen position 0,0, 104 x 46 cells.
  static window::Rect frameFor(window::CellSize cell);
  /// `frame` fitted into `area`, the screen's work area: a frame bigger than the area in
  /// a direction takes all of it, and its client area then scrolls across, so the frame
  /// makes room for that scroll bar where the area has it (`barWidth` for the vertical
  /// bar, `barHeight` for the horizontal one); then it is moved inside the area. A frame
  /// that fits stays as it is.
  static window::Rect fitFrame(window::Rect frame, window::Rect area, int barWidth, int barHeight);
  /// The Info box text; it begins with the program version "V1.30".
  static std::string infoText();

  /// Creation with the measured character cell: keeps the cell, returns the frame the
  /// window must take (whatever size it was created with). It stands where it stood
  /// when the program ended last if its title bar is then on one of `screens` (their
  /// work areas, in screen coordinates), else at 0,0.
  window::Rect onCreate(window::CellSize cell, const std::vector<window::Rect>& screens = {});
  /// The window closes with its outer frame's top left at `topLeft` (not minimised):
  /// the next start puts it there again.
  void onClosing(window::Point topLeft);
  /// The client area changed size.
  void onSize(int clientWidth, int clientHeight);
  /// A command with `id`. Menu commands (fromControl false) 10, 14, 30 and 50 are
  /// carried out; commands from controls and other ids are not. True when handled.
  bool onCommand(int id, bool fromControl);
  /// A file handed to the program, on its command line or dropped on its window: the
  /// kind of window its name asks for (childKindForFile) opens, unless it is open
  /// already, and loads it as its file command would. An unknown name, a file that is
  /// not there or another child window open is said in a message box instead.
  void openFile(const std::string& path);
  /// The open child window has closed: enables the menu list again and closes the port.
  void onChildClosed();
  /// The program ends: stops any transfer and the receiver before anything is released.
  void onExit();

 private:
  void openChild(ChildKind kind);
  void selectPort();
  void setMenuListEnabled(bool enabled);

  ShellState& shell_;
  window::ControlTable& menu_;
  window::WindowHost& host_;
  ShellHost& shellHost_;
  std::function<void()> closePort_;
};

}  // namespace trv810::app
