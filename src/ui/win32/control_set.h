#pragma once
// Win32 controls built from a layout table: one control per ControlSpec, children of
// one parent window at the table's pixel geometry, in the table's order. Tab goes
// through the tab stops in the window's tab order (the controls' Z order), at every
// toggle, checked or not, which shows the focus around it. The controls change nothing the logic owns: toggles and radio
// buttons are not marked by a click, a scroll bar keeps its position until the logic
// sets it. Edits that take digits only refuse anything else typed, as does the
// Windows-1252 edit for characters outside that code page; a paste goes in only whole
// and only when the logic takes it. An edit's text is centred in its height, on the
// line of the labels beside it.
//
// The parent's window procedure hands its WM_COMMAND and WM_VSCROLL to onCommand()
// and onScroll(), and its own WM_MOUSEWHEEL to onWheel(); the rest of the input is
// caught on the controls themselves. All of it goes to a window::ControlInput.

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "window/control_input.h"
#include "window/controls.h"
#include "window/layout.h"
#include "platform/win32.h"

namespace trv810::ui::win32 {

using window::ControlInput;

class ControlSet {
 public:
  /// Builds the controls of `layout` in `parent`, in `font`, with Tab going through
  /// `tabOrder` (ids) first when given. The controls live as long as `parent`.
  ControlSet(HWND parent, const std::vector<window::ControlSpec>& layout, HFONT font, ControlInput input,
             const std::vector<int>& tabOrder = {});
  ~ControlSet();
  ControlSet(const ControlSet&) = delete;
  ControlSet& operator=(const ControlSet&) = delete;

  /// The control `id`, or null.
  HWND window(int id) const;
  /// The layout entry of control `id`, or null.
  const window::ControlSpec* entry(int id) const;
  /// The first progress bar of the table, or null.
  HWND progressBar() const { return progress_; }
  /// Every control with its layout entry, in table order.
  const std::vector<std::pair<window::ControlSpec, HWND>>& all() const { return all_; }
  const ControlInput& input() const { return input_; }
  /// Sends the input from now on to `input` (a window's logic made after its controls).
  void setInput(ControlInput input) { input_ = std::move(input); }

  /// The parent's WM_COMMAND; true when it came from one of these controls.
  bool onCommand(WPARAM wParam, LPARAM lParam);
  /// The parent's WM_VSCROLL; true when it came from one of these scroll bars.
  bool onScroll(WPARAM wParam, LPARAM lParam);
  /// A WM_MOUSEWHEEL over control `id` (-1: the parent itself): true when the input
  /// took it.
  bool onWheel(int id, WPARAM wParam, LPARAM lParam);

  /// Sets a text without reporting it as the user's edit.
  void setTextQuietly(int id, const std::wstring& text);

 private:
  HWND create(HWND parent, const window::ControlSpec& control, HINSTANCE instance);
  void addToolTip(HWND parent, HWND control, const std::string& tip);
  static LRESULT CALLBACK subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR index,
                                   DWORD_PTR self);
  LRESULT onControlMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, std::size_t index);
  bool admits(const window::ControlSpec& control, std::wstring_view text) const;
  void paste(HWND edit, const window::ControlSpec& control);
  static void fitLines(HWND label, const window::ControlSpec& control, int lines);
  void centreText(HWND edit, RECT& client, std::size_t index);
  void paintPadding(HWND edit, std::size_t index);

  ControlInput input_;
  HWND parent_;
  std::vector<std::pair<window::ControlSpec, HWND>> all_;
  std::map<int, std::size_t> byId_;
  HWND progress_ = nullptr;
  HWND toolTip_ = nullptr;
  bool quiet_ = false;
  std::map<std::size_t, std::pair<int, int>> padding_;  // an edit's band above and below its text
};

/// The control table over a ControlSet: texts are converted between the logic's
/// Windows-1252 bytes and UTF-16 here. The selection of a list is its current entry,
/// that of a scroll bar its position. Ids without a control read as empty, unchecked,
/// unselected and disabled, and ignore writes.
class Win32ControlTable : public window::ControlTable {
 public:
  explicit Win32ControlTable(ControlSet& controls) : controls_(controls) {}

  std::string text(int id) const override;
  void setText(int id, std::string_view text) override;
  bool checked(int id) const override;
  void setChecked(int id, bool checked) override;
  int selection(int id) const override;
  void setSelection(int id, int index) override;
  bool enabled(int id) const override;
  void setEnabled(int id, bool enabled) override;

 private:
  ControlSet& controls_;
};

/// Paints the grey of a window's client area into `dc`. Themed group boxes and
/// buttons ask their parent for it (WM_PRINTCLIENT) to draw over.
void paintBackground(HWND hwnd, HDC dc);

/// The message a control sends its top-level window when it takes the focus, the
/// control in wParam, so a window that shows part of its content can bring it into view.
UINT showControlMessage();

/// Whether `hwnd` is a push button (which Enter then presses, as Space does).
bool isPushButton(HWND hwnd);

}  // namespace trv810::ui::win32
