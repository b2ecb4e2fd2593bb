#include <algorithm>
#include <cstdio>

#include "config/control_ids.h"
#include "config/form.h"
#include "config/general_fields.h"
#include "config/signal_sequence.h"
#include "config/texts.h"

// Reading the form back: the checks of "TRV programmieren" and "In Datei sichern", in
// their fixed order (all addresses, then all sequences, then the general settings),
// and the messages of their result codes.

namespace trv810::config {
namespace {

constexpr uint32_t kMinAddress = 8;
constexpr uint32_t kMaxAddress = 2047993;

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
  char row[24];
  std::snprintf(row, sizeof row, texts::kRowSuffixFormat.data(), result.row);
  switch (result.code) {
    case FormResult::kValid: return {};
    case FormResult::kAddressError: return std::string(texts::kAddressError) + row;
    case FormResult::kSequenceError: return std::string(texts::kSequenceError) + row;
    default: break;
  }
  const GeneralField* field = fieldOfCode(result.code);
  return field != nullptr ? field->error : std::string();
}

std::string formResultHint(FormResult result) {
  switch (result.code) {
    case FormResult::kValid: return {};
    case FormResult::kAddressError: return std::string(texts::kAddressHint);
    case FormResult::kSequenceError: return std::string(texts::kSequenceHint);
    default: break;
  }
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
  FormResult result;
  if (!readAddresses(result) || !readSequences(result)) return result;
  result.code = readGeneral();
  return result;
}

bool Form::readAddresses(FormResult& result) {
  for (int r = 0; r < kRowCount; ++r) {
    if (!image_.active(r)) continue;
    const std::optional<uint32_t> address = decimalValue(firstChars(rows_[r].addressText, kAddressTextChars));
    if (!address || *address < kMinAddress || *address > kMaxAddress) {
      result = {FormResult::kAddressError, r + 1};
      return false;
    }
    image_.setAddress(r, *address);
    image_.setFunctionIndex(r, rows_[r].functionIndex);
  }
  return true;
}

bool Form::readSequences(FormResult& result) {
  for (int r = 0; r < kRowCount; ++r) {
    if (!image_.active(r) || !image_.siren(r)) continue;
    if (!parseSignalSequence(rows_[r].sequenceText, image_.sequence(r))) {
      result = {FormResult::kSequenceError, r + 1};
      return false;
    }
  }
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
