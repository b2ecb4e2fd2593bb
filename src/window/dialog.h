#pragma once
// A modal dialog's logic, as a window's host runs it: the face builds the dialog from
// its layout, gives it a host of the dialog's own window, calls onInit() once the
// controls exist, gives focusId() the focus, and hands it the dialog's input until
// onCommand() returns a result. Enter, Escape and the close button give the commands
// the layout names for them (WindowSpec), arrow keys on a radio button go to
// onArrow(). So every decision of a dialog is here, and a face has one runner for all
// of them (WindowHost::runDialog).

#include <optional>
#include <string_view>

#include "window/controls.h"
#include "window/layout.h"
#include "window/window_host.h"

namespace trv810::window {

class Dialog {
 public:
  virtual ~Dialog() = default;

  /// The dialog's caption, frame and controls for the dialog font's `base` (dialog
  /// units: a quarter of its average character width, an eighth of its height).
  virtual WindowSpec dialogLayout(CellSize base) const = 0;
  /// The dialog's own window as a host: message boxes over it and the focus among its
  /// controls. The runner gives it before onInit(); it lasts until the dialog ends.
  virtual void attachHost(WindowHost& /*host*/) {}
  /// Start of the dialog, once its controls exist.
  virtual void onInit(ControlTable& controls) = 0;
  /// The control that has the focus when the dialog starts; -1: its first tab stop.
  virtual int focusId() const { return -1; }
  /// A button or radio button was clicked (or Enter, Escape, the close button gave
  /// its command). A result ends the dialog with it.
  virtual std::optional<int> onCommand(int id, ControlTable& controls) = 0;
  /// The user changed the text of edit `id`.
  virtual void onEdited(int /*id*/, ControlTable& /*controls*/) {}
  /// An arrow key on radio button `id`: the control that takes the focus then.
  virtual int onArrow(int id, Arrow /*arrow*/, ControlTable& /*controls*/) { return id; }
  /// A paste into `edit` would make `utf8` its whole text: true lets it in.
  virtual bool onPaste(const ControlSpec& edit, std::string_view utf8, ControlTable& /*controls*/) {
    return refusalOf(edit, utf8) == Refusal::None;
  }
};

}  // namespace trv810::window
