#pragma once
// The signal-sequence dialog "Taktfolge...": a wide one-line editor for the narrow
// sequence edits of the form. It works on a text buffer of at most 127 characters
// (Windows-1252 bytes), shows it in edit 117, and only its two buttons end it: "OK"
// (115) takes the edit's text back into the buffer and ends with 1, "CANCEL" (116)
// ends with 0 and leaves the buffer alone, as does the window's close button. Enter and
// Escape do nothing. The dialog does not check the syntax; the form does that when it
// is read back. A paste longer than the buffer is refused whole, and the line beside
// the buttons (118) says why.

#include <optional>
#include <string>
#include <string_view>

#include "window/controls.h"
#include "window/dialog.h"
#include "window/layout.h"

namespace trv810::config {

class SignalBox : public window::Dialog {
 public:
  static constexpr int kOk = 115;
  static constexpr int kCancel = 116;
  static constexpr int kEdit = 117;
  static constexpr int kNotice = 118;
  /// The most characters the buffer keeps.
  static constexpr std::size_t kBufferChars = 127;

  /// The dialog template "SignalBox" in pixels of the dialog font's base (dialog
  /// units: a quarter of its average character width, an eighth of its height).
  static window::WindowSpec layout(window::CellSize dialogBase);
  window::WindowSpec dialogLayout(window::CellSize dialogBase) const override { return layout(dialogBase); }

  /// Edits `buffer`, which must outlive the dialog.
  explicit SignalBox(std::string& buffer) : buffer_(buffer) {}

  /// Start of the dialog: the edit shows the buffer's text.
  void onInit(window::ControlTable& controls) override;
  /// The edit has the focus.
  int focusId() const override { return kEdit; }
  /// A command from control `id`: 1 after "OK" (buffer = the edit's first 127
  /// characters), 0 after "CANCEL"; nothing for any other id, the dialog goes on.
  std::optional<int> onCommand(int id, window::ControlTable& controls) override;
  /// A paste into `edit` would make `utf8` its whole text: true when it takes it;
  /// otherwise the notice says why.
  bool onPaste(const window::ControlSpec& edit, std::string_view utf8, window::ControlTable& controls) override;

 private:
  std::string& buffer_;
};

}  // namespace trv810::config
