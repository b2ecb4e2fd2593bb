#include <algorithm>
#include <cstdio>

#include "config/control_ids.h"
#include "config/form.h"
#include "config/general_fields.h"
#include "config/row_columns.h"
#include "config/texts.h"

// The user's input on the form: the toggles change the image at once, moving the
// visible lines stores what was typed before other rows are shown, and a paste an
// edit cannot take whole is refused with its reason.

namespace trv810::config {

std::string pasteRefusal(const window::ControlSpec& edit, std::string_view utf8, std::string_view allowed) {
  std::string why;
  switch (window::refusalOf(edit, utf8)) {
    case window::Refusal::None: return {};
    case window::Refusal::TooLong: {
      char text[128];
      std::snprintf(text, sizeof text, std::string(texts::kPasteTooLong).c_str(), edit.maxLength);
      why = text;
      break;
    }
    case window::Refusal::NotDigits: why = texts::kPasteNotDigits; break;
    case window::Refusal::NotWindows1252: why = texts::kPasteNotWindows1252; break;
  }
  if (!allowed.empty()) {
    why += ' ';
    why += allowed;
  }
  return why;
}

// A toggle does not flip its own check mark; the form flips it by what it reports.
bool Form::flip(int id) {
  const bool now = !controls_.checked(id);
  controls_.setChecked(id, now);
  return now;
}

void Form::toggleActive(int line) {
  // Stored first, so the texts of a row that becomes inactive stay in AddressText.
  storeVisibleRows();
  image_.setActive(rowOf(line), flip(ids::active(line)));
  showVisibleRows();
}

void Form::toggleSiren(int line) {
  image_.setSiren(rowOf(line), flip(ids::siren(line)));
  storeVisibleRows();
  showVisibleRows();
}

void Form::toggleRelay(int j, int line) { image_.setRelayOn(j, rowOf(line), flip(ids::relay(j, line))); }

void Form::toggleManualRelay(int j) {
  const uint16_t bit = static_cast<uint16_t>(1u << (kFlagManualRelayShift + j));
  const bool on = flip(ids::manualRelay(j));
  image_.setFlags(static_cast<uint16_t>(on ? (image_.flags() | bit) : (image_.flags() & ~bit)));
}

bool Form::isToggle(int id) {
  const RowCell cell = rowCellOf(id);
  return (cell.column != nullptr && cell.column->isToggle()) ||
         (id >= ids::kManualRelay && id < ids::kManualRelay + kRelayCount);
}

bool Form::onToggle(int id) {
  if (!isToggle(id)) return false;
  const RowCell cell = rowCellOf(id);
  if (cell.column == nullptr) {
    toggleManualRelay(id - ids::kManualRelay);
  } else if (cell.column->kind == ColumnKind::Active) {
    toggleActive(cell.line);
  } else if (cell.column->kind == ColumnKind::Siren) {
    toggleSiren(cell.line);
  } else {
    toggleRelay(cell.relay, cell.line);
  }
  return true;
}

FormState Form::state() {
  storeVisibleRows();
  FormState s;
  s.rows = rows_;
  for (int r = 0; r < kRowCount; ++r)
    for (const RowColumn& c : kRowColumns)
      for (int j = 0; c.isToggle() && j < c.controls(); ++j) s.bits.push_back(toggleOn(image_, c.kind, r, j));
  s.bits.push_back(static_cast<uint8_t>(image_.flags() >> 8));
  s.bits.push_back(static_cast<uint8_t>(image_.flags()));
  for (const GeneralField& f : generalFields()) {
    if (f.isEdit()) s.general.push_back(controls_.text(f.id));
    if (f.kind == FieldKind::BaudRate) s.baudRate = controls_.selection(f.id);
  }
  return s;
}

int Form::revealField(FormResult result) {
  if (const RowColumn* column = rowColumnOfCode(result.code)) {
    const int r = std::clamp(result.row, 1, kRowCount) - 1;
    if (r < topRow_ || r >= topRow_ + ids::kVisibleLines) moveTo(r);
    return column->idOf(r - topRow_);
  }
  const GeneralField* field = fieldOfCode(result.code);
  return field != nullptr ? field->id : -1;
}

void Form::lineUp() { moveTo(topRow_ - 1); }

void Form::lineDown() { moveTo(topRow_ + 1); }

void Form::moveTo(int topRow) {
  storeVisibleRows();
  topRow_ = std::clamp(topRow, 0, kMaxTopRow);
  showVisibleRows();
}

}  // namespace trv810::config
