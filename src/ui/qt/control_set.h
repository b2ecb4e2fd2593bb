#pragma once
// Widgets built from a layout table: one widget per ControlSpec, children of one
// client widget at the table's pixel geometry, in the table's order (which is also
// the Tab order unless the window gives its own). User input is forwarded to the
// handlers of a window::ControlInput (the wheel and left-button presses of every
// control and of the client widget too); the widgets themselves change nothing the logic owns:
// toggles and radio buttons are not marked by a click, a scroll bar keeps its
// position until the logic sets it, and a paste goes in only whole and only when the
// logic takes it. Every control that takes the focus shows it.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "window/control_input.h"
#include "window/layout.h"

class QLineEdit;
class QProgressBar;
class QScrollBar;
class QWidget;

namespace trv810::ui {

using window::ControlInput;

/// Sets a scroll bar's position as the logic sees it (its value and the position it
/// returns to after input the logic does not act on).
void setScrollPosition(QScrollBar* bar, int position);

/// Lets `edit` take `limit` characters, or the length of a longer text the logic put
/// into it: a value is never cut, but typing cannot make it longer.
void keepWithinLimit(QLineEdit* edit, int limit);

class ControlSet {
 public:
  /// Builds the widgets of `layout` inside `client`, which owns them; Tab goes through
  /// the controls of `tabOrder` in its order (ids), when it is given.
  ControlSet(QWidget* client, const std::vector<window::ControlSpec>& layout, ControlInput input,
             const std::vector<int>& tabOrder = {});
  ControlSet(const ControlSet&) = delete;
  ControlSet& operator=(const ControlSet&) = delete;

  /// The widget of control `id`, or null.
  QWidget* widget(int id) const;
  /// The layout entry of control `id`, or null.
  const window::ControlSpec* entry(int id) const;
  /// The window's progress bar (the first in the table), or null.
  QProgressBar* progressBar() const { return progress_; }
  /// Every widget with its layout entry, in table order.
  const std::vector<std::pair<window::ControlSpec, QWidget*>>& all() const { return all_; }
  const ControlInput& input() const { return *input_; }
  /// Sends the input from now on to `input` (a window's logic made after its controls).
  void setInput(ControlInput input) { *input_ = std::move(input); }

 private:
  QWidget* create(QWidget* client, const window::ControlSpec& control);
  void connect(QWidget* widget, const window::ControlSpec& control);

  std::shared_ptr<ControlInput> input_;  // shared with the widgets' connections
  std::vector<std::pair<window::ControlSpec, QWidget*>> all_;
  std::map<int, std::size_t> byId_;
  QProgressBar* progress_ = nullptr;
};

}  // namespace trv810::ui
