#pragma once
// A modal dialog built from a layout table, as a popup window over its owner. Only
// its command handler ends it. Enter presses a focused push button and otherwise
// gives the command the layout names for Enter; Escape and the close button give
// theirs, and do nothing where it names none. Arrow keys on a radio button go to an
// arrow handler, when there is one.

#include <functional>
#include <memory>
#include <optional>

#include "window/controls.h"
#include "window/layout.h"
#include "platform/win32.h"
#include "ui/win32/control_set.h"

namespace trv810::ui::win32 {

class LayoutDialog {
 public:
  /// The dialog laid out by `windowLayout` in `font`, owned by `owner`'s top-level
  /// window; its frame is placed relative to `ownerClient`'s top left.
  LayoutDialog(HWND owner, HWND ownerClient, const window::WindowSpec& windowLayout, HFONT font);
  ~LayoutDialog();
  LayoutDialog(const LayoutDialog&) = delete;
  LayoutDialog& operator=(const LayoutDialog&) = delete;

  /// Handles a click on a button or radio button; a result ends the dialog with it.
  void setCommandHandler(std::function<std::optional<int>(int id)> handler) { handler_ = std::move(handler); }
  /// Handles an arrow key on control `id`; returns the control that takes the focus.
  void setArrowHandler(std::function<int(int id, window::Arrow arrow)> handler) {
    arrowHandler_ = std::move(handler);
  }
  /// Decides whether a paste into `edit` that would make `utf8` its text goes in.
  void setPasteHandler(std::function<bool(const window::ControlSpec& edit, const std::string& utf8)> handler) {
    pasteHandler_ = std::move(handler);
  }
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
  HWND createFrame(HWND ownerClient, const window::WindowSpec& windowLayout);
  ControlInput input();
  bool onKey(const MSG& msg);
  void command(int id);

  HWND owner_;
  int enterCommand_;
  int escapeCommand_;
  int closeCommand_;
  HWND hwnd_;
  std::function<std::optional<int>(int)> handler_;
  std::function<int(int, window::Arrow)> arrowHandler_;
  std::function<bool(const window::ControlSpec&, const std::string&)> pasteHandler_;
  std::unique_ptr<ControlSet> set_;
  Win32ControlTable table_;
  std::optional<int> result_;
};

}  // namespace trv810::ui::win32
