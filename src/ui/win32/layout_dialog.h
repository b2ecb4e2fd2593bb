#pragma once
// A modal dialog built from a window::Dialog's layout, as a popup window over its
// owner, its input handed to that dialog. Only a result of its onCommand() ends it.
// Enter presses a focused push button and otherwise gives the command the layout
// names for Enter; Escape and the close button give theirs, and do nothing where it
// names none. Arrow keys on a radio button go to its onArrow(); typing in an edit
// goes to its onEdited(), and a paste into an edit goes in whole when its onPaste()
// takes it.

#include <functional>
#include <memory>
#include <optional>

#include "window/controls.h"
#include "window/dialog.h"
#include "window/layout.h"
#include "platform/win32.h"
#include "ui/win32/control_set.h"
#include "ui/win32/window_host.h"

namespace trv810::ui::win32 {

class LayoutDialog {
 public:
  /// The dialog of `dialog` in dialog units of `base` and in `font`, owned by
  /// `owner`'s top-level window; its frame is placed relative to `ownerClient`'s top
  /// left. Its input goes to `dialog`, which must outlive it and is started (onInit,
  /// the focus) here.
  LayoutDialog(HWND owner, HWND ownerClient, window::Dialog& dialog, window::CellSize base, HFONT font);
  ~LayoutDialog();
  LayoutDialog(const LayoutDialog&) = delete;
  LayoutDialog& operator=(const LayoutDialog&) = delete;

  /// Gives control `id` the focus.
  void focusControl(int id);

  Win32ControlTable& controls() { return table_; }
  ControlSet& controlSet() { return *set_; }
  HWND window() const { return hwnd_; }

  /// Shows the dialog without waiting for it (for pictures of it).
  void show();
  /// Shows the dialog and runs its messages, with the owner disabled, until the
  /// command handler ends it; its result. 0 when the program is quitting.
  int exec();

  /// The class name of every such dialog.
  static constexpr wchar_t kClassName[] = L"TRV810Dialog";

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LayoutDialog(HWND owner, HWND ownerClient, window::Dialog& dialog, const window::WindowSpec& windowLayout, HFONT font);
  HWND createFrame(HWND ownerClient, const window::WindowSpec& windowLayout);
  ControlInput input();
  bool onKey(const MSG& msg);
  void command(int id);

  HWND owner_;
  int enterCommand_;
  int escapeCommand_;
  int closeCommand_;
  HWND hwnd_;
  window::Dialog& dialog_;
  std::unique_ptr<ControlSet> set_;
  Win32ControlTable table_;
  Fonts fonts_;
  Win32WindowHost host_;  // the dialog's own: its boxes and the focus among its controls
  std::optional<int> result_;
};

}  // namespace trv810::ui::win32
