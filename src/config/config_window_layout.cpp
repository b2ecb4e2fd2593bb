#include <algorithm>
#include <string>

#include "config/config_window.h"
#include "config/control_ids.h"
#include "config/general_fields.h"
#include "config/row_columns.h"
#include "config/texts.h"

// The configuration window's controls in character cells, in the order they are
// created. A fraction a/b of a cell is a * cell / b pixels, remainder dropped; a sum
// such as 46.5 + 4j is (93 * cell) / 2 + 4 * j * cell.

namespace trv810::config {
namespace {

using window::ControlKind;
using window::ControlSpec;

class Builder {
 public:
  explicit Builder(window::CellSize cell) : w_(cell.width), h_(cell.height) {}

  // Horizontal and vertical a/b of a cell in pixels.
  int x(int a, int b = 1) const { return a * w_ / b; }
  int y(int a, int b = 1) const { return a * h_ / b; }

  ControlSpec& add(ControlKind kind, int id, std::string_view text, int px, int py, int pw, int ph) {
    controls.push_back(window::control(kind, id, std::string(text), px, py, pw, ph));
    return controls.back();
  }
  ControlSpec& label(std::string_view text, int px, int py, int pw, int ph) {
    return add(ControlKind::Static, -1, text, px, py, pw, ph).centre();
  }
  ControlSpec& toggle(int id, int px, int py) {
    return add(ControlKind::Toggle, id, "", px, py, x(2), y(7, 6)).tabbed();
  }
  ControlSpec& edit(ControlKind kind, int id, int px, int py, int cellsWide) {
    ControlSpec& c = add(kind, id, "", px, py, x(cellsWide), y(6, 4)).bordered().tabbed();
    if (kind == ControlKind::Edit) c.windows1252();
    return c;
  }

  std::vector<ControlSpec> controls;

 private:
  int w_;
  int h_;
};

void addRowTable(Builder& b) {
  b.add(ControlKind::GroupBox, -1, texts::kAddressGroup, b.x(1, 2), b.y(1, 2), b.x(100), b.y(20)).centre();
  const struct { std::string_view text; int x; int w; } headings[] = {
      {texts::kHeadingRow, 2, 7},      {texts::kHeadingActive, 11, 5},     {texts::kHeadingAddress, 17, 12},
      {texts::kHeadingSiren, 29, 14},  {texts::kHeadingSequence, 43, 16},
  };
  for (const auto& h : headings) b.label(h.text, b.x(h.x), b.y(2), b.x(h.w), b.y(7, 6));
  for (int j = 0; j < kRelayCount; ++j) b.label(kRelayNames[j], b.x(59 + 4 * j), b.y(2), b.x(4), b.y(7, 6));

  // [row-column]: each column's place in the table. An address edit holds the widest
  // valid address whole; a sequence edit takes the characters the form reads.
  const std::string widest = std::to_string(rowColumn(ColumnKind::Address).max);
  const int sequenceChars = static_cast<int>(rowColumn(ColumnKind::Sequence).chars);
  const std::vector<std::string> functions(std::begin(kFunctionLetters), std::end(kFunctionLetters));
  auto lineY = [&b](int k) { return b.y(4 + 2 * k); };
  for (int k = 0; k < ids::kVisibleLines; ++k)
    b.label(std::to_string(k + 1), b.x(4), lineY(k), b.x(2), b.y(7, 6)).id = ids::rowNumber(k);
  for (int k = 0; k < ids::kVisibleLines; ++k) b.toggle(ids::active(k), b.x(12), lineY(k));
  for (int k = 0; k < ids::kVisibleLines; ++k) {
    b.edit(ControlKind::DigitEdit, ids::address(k), b.x(18), lineY(k), 8).holds(static_cast<int>(widest.size()), widest);
    b.add(ControlKind::List, ids::function(k), "", b.x(26), lineY(k), b.x(4), b.y(6)).list(functions, 0).tabbed();
  }
  for (int k = 0; k < ids::kVisibleLines; ++k) b.toggle(ids::siren(k), b.x(36), lineY(k));
  for (int k = 0; k < ids::kVisibleLines; ++k)
    b.edit(ControlKind::Edit, ids::sequence(k), b.x(42), lineY(k), 16).scrolling().limit(sequenceChars);
  for (int j = 0; j < kRelayCount; ++j)
    for (int k = 0; k < ids::kVisibleLines; ++k) b.toggle(ids::relay(j, k), b.x(60 + 4 * j), lineY(k));
  b.add(ControlKind::ScrollBar, ids::kScrollBar, "", b.x(94), b.y(4), b.x(3), b.y(16)).range(0, kMaxTopRow, 0).tabbed();
}

// Tab goes in reading order: line by line through the table (each line from the
// active toggle to K10), the scroll bar, then the general settings from top to bottom
// (the switch-on times K3 to K10), then the commands.
std::vector<int> tabOrder() {
  std::vector<int> order;
  for (int k = 0; k < ids::kVisibleLines; ++k)
    for (const RowColumn& c : kRowColumns)
      for (int j = 0; j < c.controls(); ++j) order.push_back(c.idOf(k, j));
  order.push_back(ids::kScrollBar);
  for (const GeneralField* f : fieldsInDocumentOrder()) {
    if (f->id < 0) continue;
    const int controls = f->kind == FieldKind::ManualRelays ? kRelayCount : 1;
    for (int i = 0; i < controls; ++i) order.push_back(f->id + i);
  }
  for (int id = ids::kProgram; id <= ids::kCancel; ++id) order.push_back(id);
  return order;
}

// A number: its label, its edit as wide as its largest value, and its unit.
void addNumber(Builder& b, const GeneralField& f) {
  const FieldPlace& at = f.place;
  const int row = b.y(at.y);
  b.label(f.label, b.x(at.labelX), row, b.x(at.labelWidth), b.y(6, 4));
  const std::string widest = f.widest();
  b.edit(ControlKind::DigitEdit, f.id, b.x(at.editX), row, 5).holds(static_cast<int>(widest.size()), widest);
  b.label(f.unit, b.x(at.editX + 6), row, b.x(2), b.y(6, 4));
}

void addGeneralField(Builder& b, const GeneralField& f) {
  switch (f.kind) {
    case FieldKind::BaudRate: {
      b.label(f.label, b.x(2), b.y(45, 2), b.x(15), b.y(7, 6));
      std::vector<std::string> entries(std::begin(kBaudRateEntries), std::end(kBaudRateEntries));
      b.add(ControlKind::List, f.id, "", b.x(18), b.y(45, 2), b.x(8), b.y(6)).list(std::move(entries), 1).tabbed();
      break;
    }
    case FieldKind::Number: addNumber(b, f); break;
    case FieldKind::Sequence:
      b.label(f.label, b.x(2), b.y(34), b.x(25), b.y(6, 4));
      b.edit(ControlKind::Edit, f.id, b.x(28), b.y(34), 16).scrolling().limit(static_cast<int>(f.chars));
      break;
    case FieldKind::ManualRelays:
      for (int j = 0; j < kRelayCount; ++j) {
        b.label(kRelayNames[j], b.x(46 + 4 * j), b.y(33), b.x(3), b.y(6, 4));
        b.toggle(f.id + j, b.x(93, 2) + 4 * j * b.x(1), b.y(69, 2));
      }
      break;
    case FieldKind::Text:
      b.label(f.label, b.x(27), b.y(45, 2), b.x(14), b.y(6, 4));
      // No horizontal scrolling: the edit holds the 16 characters of the ident, and the
      // toolkit makes room for the widest of them.
      b.edit(ControlKind::Edit, f.id, b.x(43), b.y(45, 2), 20).holds(static_cast<int>(f.max), std::string(f.max, 'W'));
      break;
    case FieldKind::ReservedFlags: break;
  }
}

// Created in ascending order of their ids, as every control of the window is.
void addGeneralSettings(Builder& b) {
  b.add(ControlKind::GroupBox, -1, texts::kGeneralGroup, b.x(1, 2), b.y(21), b.x(77), b.y(17)).centre();
  std::vector<const GeneralField*> byId;
  for (const GeneralField& f : generalFields()) byId.push_back(&f);
  std::ranges::sort(byId, {}, &GeneralField::id);
  for (const GeneralField* f : byId) addGeneralField(b, *f);
}

void addCommands(Builder& b) {
  const std::string_view captions[] = {texts::kProgramButton, texts::kReadButton, texts::kLoadButton,
                                       texts::kSaveButton, texts::kCancelButton};
  // Ordinary buttons: Enter presses only the one that has the focus, so none is drawn
  // as the default, and the focus shows on whichever has it.
  for (int i = 0; i < 5; ++i)
    b.add(ControlKind::Button, ids::kProgram + i, captions[i], b.x(80), b.y(22) + b.y(5 * i, 2), b.x(20), b.y(7, 4))
        .tabbed();
  b.add(ControlKind::ProgressBar, -1, "", b.x(1), b.y(39), b.x(50), b.y(6, 4));
  // Beside the bar, centred on the same middle and two lines high: what a transfer
  // does, and why a paste was refused.
  b.add(ControlKind::Static, ids::kStatus, "", b.x(52), b.y(155, 4), b.x(48), b.y(2));
}

}  // namespace

window::WindowSpec ConfigWindow::layout(window::CellSize cell, int clientWidth, int clientHeight) {
  Builder b(cell);
  addRowTable(b);
  addGeneralSettings(b);
  addCommands(b);
  window::WindowSpec windowLayout;
  windowLayout.title = std::string(texts::kWindowCaption);
  windowLayout.frame = {0, 0, clientWidth, clientHeight};
  windowLayout.controls = std::move(b.controls);
  windowLayout.tabOrder = tabOrder();
  return windowLayout;
}

}  // namespace trv810::config
