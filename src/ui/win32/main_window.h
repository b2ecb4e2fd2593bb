#pragma once
// The main window over Win32: title "TRV810-Tool", fixed at 104 x 46 character
// cells (outer size) at 0,0 or where it stood last, no maximising; on a work area that
// is smaller (a small screen, or a large font scale), cut to it, with scroll bars over
// a client area that keeps its size (the control that takes the focus is scrolled into
// view); the menu "Menue_TRV810" with its
// accelerators (Alt and the underlined letter; Ctrl+F4 closes the child window); a
// white client area that hosts one child window at a time. Menu commands, size
// changes, closing and files dropped on it go to app::MainWindow; this class only
// builds and forwards.

#include <memory>

#include "app/application.h"
#include "app/main_window.h"
#include "app/port_dialog.h"
#include "app/shell_host.h"
#include "window/controls.h"
#include "platform/win32.h"

#include <shellapi.h>

#include "ui/win32/child_window.h"
#include "ui/win32/layout_dialog.h"
#include "ui/win32/window_host.h"

namespace trv810::ui::win32 {

/// The menu's entries as a control table: enabled = not greyed.
class MenuTable : public window::ControlTable {
 public:
  explicit MenuTable(HWND window) : window_(window) {}
  std::string text(int id) const override;
  void setText(int, std::string_view) override {}
  bool checked(int) const override { return false; }
  void setChecked(int, bool) override {}
  int selection(int) const override { return -1; }
  void setSelection(int, int) override {}
  bool enabled(int id) const override;
  void setEnabled(int id, bool enabled) override;

 private:
  HWND window_;
};

class MainWindow : private app::ShellHost {
 public:
  /// Command id of Ctrl+F4, which closes the child window.
  static constexpr int kCloseChild = 0x7F01;
  static constexpr wchar_t kClassName[] = L"TRV810";

  /// The main window of `application`, laid out for the measured `cell`, not shown.
  MainWindow(app::Application& application, window::CellSize cell);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND window() const { return hwnd_; }
  /// The white area child windows live in: the whole client area, of which the window
  /// shows the part its scroll bars point at.
  HWND clientArea() const { return client_; }
  app::MainWindow& logic() { return logic_; }
  app::Application& application() { return application_; }
  ChildWindow* child() const { return child_; }
  const Fonts& fonts() const { return fonts_; }

  /// The keyboard of the windows before a message is dispatched: the accelerators,
  /// Enter on a push button, Tab through a child window's controls, Alt and a button's
  /// letter (a letter alone presses nothing); keys that come while nothing has the
  /// focus go to the child window. True when the message was taken.
  bool translate(MSG& msg);

  /// A file handed to the program (its command line, a drop): the logic opens it.
  void openFile(const std::wstring& path);

  /// The port dialog for `dialog`, built and started but not shown.
  std::unique_ptr<LayoutDialog> buildPortDialog(app::PortDialog& dialog) { return host_.buildDialog(dialog, -1); }

 private:
  bool createChild(app::ChildKind kind) override;
  app::ChildLogic* openChild() override;
  void onDropFiles(HDROP drop);
  HWND createFrame();
  HWND createClientArea(int width, int height);
  /// Cuts the frame to the work area of the window's monitor.
  void fitToWorkArea(const window::Rect& frame);
  /// Sets the scroll bars for the window's size and the scroll position, and moves the
  /// client area to match.
  void updateScrollBars();
  void onScroll(int bar, int request);
  void scrollBy(int dx, int dy);
  void showControl(HWND control);
  HMENU buildMenu();
  void onClose();
  /// Gives the child window's control that had the focus last (or its first tab stop) the focus.
  void focusChild();
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  app::Application& application_;
  Fonts fonts_;
  HACCEL accelerators_ = nullptr;  // set once the logic exists; the window's messages wait for it
  HWND hwnd_;
  HWND client_ = nullptr;
  window::Rect frame_;      // the whole frame, before it is cut to the work area
  SIZE clientSize_{};
  POINT scrolled_{};        // the client area's point at the top left of the window's
  bool adjusting_ = false;  // the scroll bars are being set (which may size the window)
  MenuTable menu_;
  Win32WindowHost host_;
  app::MainWindow logic_;
  ChildWindow* child_ = nullptr;
  HWND focus_ = nullptr;  // the child's control that had the focus when the window was left
};

}  // namespace trv810::ui::win32
