#pragma once
// The control table over real widgets: texts are converted between the logic's
// Windows-1252 bytes and QString here. The selection of a list is its current entry;
// the selection of a scroll bar is its position. Ids without a widget read as empty,
// unchecked, unselected and disabled, and ignore writes.

#include "window/controls.h"
#include "ui/qt/control_set.h"

namespace trv810::ui {

class QtControlTable : public window::ControlTable {
 public:
  /// Reads and writes the widgets of `controls`, which must outlive the table.
  explicit QtControlTable(const ControlSet& controls) : controls_(controls) {}

  std::string text(int id) const override;
  void setText(int id, std::string_view text) override;
  bool checked(int id) const override;
  void setChecked(int id, bool checked) override;
  int selection(int id) const override;
  void setSelection(int id, int index) override;
  bool enabled(int id) const override;
  void setEnabled(int id, bool enabled) override;

 private:
  const ControlSet& controls_;
};

}  // namespace trv810::ui
