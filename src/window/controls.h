#pragma once
// The controls of a window as its logic sees them: a table indexed by control id,
// each control with a text, a check mark, a list selection and an enabled state.
// The Qt layer implements it over real widgets; tests and the command-line tool use
// MemoryControlTable.
//
// Control texts are 8-bit Windows-1252 bytes, as the unit keeps its texts; the Qt
// layer converts at its edge.

#include <map>
#include <string>
#include <string_view>

namespace trv810::window {

/// An arrow key, as a window's logic is told of it.
enum class Arrow { Up, Down, Left, Right };

class ControlTable {
 public:
  virtual ~ControlTable() = default;

  virtual std::string text(int id) const = 0;
  virtual void setText(int id, std::string_view text) = 0;
  virtual bool checked(int id) const = 0;
  virtual void setChecked(int id, bool checked) = 0;
  /// Index of the selected list entry, -1 when none is selected.
  virtual int selection(int id) const = 0;
  /// Selects entry `index`; an index outside the list leaves no entry selected.
  virtual void setSelection(int id, int index) = 0;
  virtual bool enabled(int id) const = 0;
  virtual void setEnabled(int id, bool enabled) = 0;
};

/// A control table held in memory: every id exists, enabled, empty, unchecked and
/// without selection until set. `listSizes` bounds the selection of list controls.
class MemoryControlTable : public ControlTable {
 public:
  struct Control {
    std::string text;
    bool checked = false;
    int selection = -1;
    int listSize = -1;  ///< entries of a list control; -1 for other controls
    bool enabled = true;
  };

  /// Makes `id` a list with `entries` entries (selection is then range-checked).
  void defineList(int id, int entries) { controls_[id].listSize = entries; }

  std::string text(int id) const override { return get(id).text; }
  void setText(int id, std::string_view text) override { controls_[id].text = std::string(text); }
  bool checked(int id) const override { return get(id).checked; }
  void setChecked(int id, bool checked) override { controls_[id].checked = checked; }
  int selection(int id) const override { return get(id).selection; }
  void setSelection(int id, int index) override {
    Control& c = controls_[id];
    c.selection = (index < 0 || (c.listSize >= 0 && index >= c.listSize)) ? -1 : index;
  }
  bool enabled(int id) const override { return get(id).enabled; }
  void setEnabled(int id, bool enabled) override { controls_[id].enabled = enabled; }

 private:
  const Control& get(int id) const {
    static const Control kEmpty{};
    auto it = controls_.find(id);
    return it == controls_.end() ? kEmpty : it->second;
  }
  std::map<int, Control> controls_;
};

}  // namespace trv810::window
