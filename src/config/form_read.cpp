#include <algorithm>
#include <cstdio>

#include "config/control_ids.h"
#include "config/form.h"
#include "config/general_fields.h"
#include "config/row_columns.h"
#include "config/signal_sequence.h"
#include "config/texts.h"

// Reading the form back: the checks of "TRV programmieren" and "In Datei sichern", in
// their fixed order (all addresses, then all sequences, then the general settings),
// and the messages of their result codes.

namespace trv810::config {
namespace {

// A number field: its value when it is non-empty, all digits and within its range.
std::optional<uint32_t> numberIn(std::string_view text, const GeneralField& field) {
  const std::optional<uint32_t> v = decimalValue(text);
  if (!v || *v < field.min || *v > field.max) return std::nullopt;
  return v;
}

}  // namespace

std::optional<uint32_t> decimalValue(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  return value;
}

std::string formResultMessage(FormResult result) {
  if (const RowColumn* column = rowColumnOfCode(result.code)) {
    char row[24];
    std::snprintf(row, sizeof row, texts::kRowSuffixFormat.data(), result.row);
    return std::string(column->error) + row;
  }
  const GeneralField* field = fieldOfCode(result.code);
  return field != nullptr ? field->error : std::string();
}

std::string formResultHint(FormResult result) {
  if (const RowColumn* column = rowColumnOfCode(result.code)) return std::string(column->hint);
  const GeneralField* field = fieldOfCode(result.code);
  return field != nullptr ? std::string(field->hint) : std::string();
}

bool reportFormResult(window::WindowHost& host, FormResult result) {
  if (result.ok()) return true;
  host.messageBox(formResultMessage(result) + "\n" + formResultHint(result), texts::kValidationCaption,
                  window::Icon::Error);
  return false;
}

FormResult Form::readForm() {
  for (const RowColumn& column : kRowColumns) {
    if (column.code == 0) continue;
    for (int r = 0; r < kRowCount; ++r)
      if (!readCell(column, r)) return {column.code, r + 1};
  }
  return {readGeneral(), 0};
}

// Checks the cell of a checked column and writes it into the image: an active row's
// address (with its function), the sequence of an active row with the siren relay.
// The other rows keep their image fields; true for them.
bool Form::readCell(const RowColumn& column, int r) {
  if (!image_.active(r)) return true;
  const AddressText& typed = rows_[r];
  if (column.kind == ColumnKind::Sequence)
    return !image_.siren(r) || parseSignalSequence(typed.sequenceText, image_.sequence(r));
  const std::optional<uint32_t> address = decimalValue(firstChars(typed.addressText, column.chars));
  if (!address || *address < column.min || *address > column.max) return false;
  image_.setAddress(r, *address);
  image_.setFunctionIndex(r, typed.functionIndex);
  return true;
}

// Steps after the rows, one per general field in the table's order; returns the code of
// the first that fails.
int Form::readGeneral() {
  for (const GeneralField& f : generalFields()) {
    if (!readField(f)) return f.code;
  }
  return FormResult::kValid;
}

bool Form::readField(const GeneralField& f) {
  switch (f.kind) {
    case FieldKind::BaudRate: {
      const int baud = controls_.selection(f.id);
      if (baud < 0) return false;
      image_.setFlags(static_cast<uint16_t>((image_.flags() & ~kFlagBaud1200) | (baud != 0 ? kFlagBaud1200 : 0)));
      return true;
    }
    case FieldKind::Number: {
      const auto value = numberIn(firstChars(controls_.text(f.id), f.chars), f);
      if (value) image_.setWord(f.offset, static_cast<uint16_t>(*value));
      return value.has_value();
    }
    case FieldKind::Sequence:
      return parseSignalSequence(firstChars(controls_.text(f.id), f.chars), image_.manualSequence());
    case FieldKind::Text: {
      const std::string ident = firstChars(controls_.text(f.id), f.chars);
      if (ident.size() > f.max) return false;
      // A shorter ident is ended by one zero byte; the bytes behind it keep what they held.
      const auto field = image_.identText();
      std::copy(ident.begin(), ident.end(), field.begin());
      if (ident.size() < kIdentSize) field[ident.size()] = 0;
      return true;
    }
    case FieldKind::ManualRelays:  // the toggles change the image when clicked
    case FieldKind::ReservedFlags: return true;
  }
  return true;
}

}  // namespace trv810::config
