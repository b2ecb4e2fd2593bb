#include "config/form.h"

#include <algorithm>
#include <cstdio>

#include "config/control_ids.h"
#include "config/general_fields.h"
#include "config/row_columns.h"
#include "config/signal_sequence.h"

namespace trv810::config {
namespace {

std::string decimal(unsigned value) { return std::to_string(value); }

// The address as shown in its edit. A stored value of ten digits cannot fit the nine
// characters; it is cut to nine, which is still far above the largest valid address.
std::string addressShown(uint32_t address) { return firstChars(addressDigits(address), kAddressTextChars); }

std::string sequenceShown(ConstSequenceSlot slot, std::size_t zeroBytes) {
  if (sequenceNeverFilled(slot, zeroBytes)) return {};
  return formatSignalSequence(slot);
}

}  // namespace

bool sequenceNeverFilled(ConstSequenceSlot slot, std::size_t zeroBytes) {
  return std::all_of(slot.begin(), slot.begin() + zeroBytes, [](uint8_t b) { return b == 0; });
}

std::string addressDigits(uint32_t address) {
  if (address == 0) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%.7u", static_cast<unsigned>(address));
  return text;
}

std::string identShown(std::span<const uint8_t, kIdentSize> ident) {
  return std::string(ident.begin(), std::find(ident.begin(), ident.end(), uint8_t{0}));
}

std::string firstChars(std::string_view text, std::size_t n) {
  text = text.substr(0, text.find('\0'));
  return std::string(text.substr(0, n));
}

void defineFormLists(window::MemoryControlTable& controls) {
  for (int k = 0; k < ids::kVisibleLines; ++k) controls.defineList(ids::function(k), ids::kFunctionEntries);
  controls.defineList(ids::kBaudRate, ids::kBaudEntries);
}

Form::Form(ConfigImage& image, window::ControlTable& controls) : image_(image), controls_(controls) {}

void Form::reset() {
  rows_.fill(AddressText{});
  topRow_ = 0;
  // Each line shows its row of a cleared image.
  const ConfigImage cleared;
  for (int k = 0; k < ids::kVisibleLines; ++k) showRow(k, k, cleared);
  for (const GeneralField& f : generalFields()) {
    if (f.isEdit()) controls_.setText(f.id, {});
    if (f.kind == FieldKind::BaudRate) controls_.setSelection(f.id, 1);
    if (f.kind == FieldKind::ManualRelays)
      for (int j = 0; j < kRelayCount; ++j) controls_.setChecked(f.id + j, false);
  }
}

void Form::storeVisibleRows() {
  for (int k = 0; k < ids::kVisibleLines; ++k) {
    const int r = rowOf(k);
    if (!image_.active(r)) continue;
    AddressText& row = rows_[r];
    row.addressText = firstChars(controls_.text(ids::address(k)), kAddressTextChars);
    row.functionIndex = static_cast<uint8_t>(std::max(0, controls_.selection(ids::function(k))));
    row.sequenceText = firstChars(controls_.text(ids::sequence(k)), kRowSequenceTextChars);
  }
}

void Form::showVisibleRows() {
  for (int k = 0; k < ids::kVisibleLines; ++k) showRow(k, rowOf(k), image_);
}

void Form::showRow(int k, int r, const ConfigImage& bits) {
  const AddressText& row = rows_[r];
  controls_.setText(ids::rowNumber(k), decimal(static_cast<unsigned>(r + 1)));
  for (const RowColumn& c : kRowColumns) {
    for (int j = 0; j < c.controls(); ++j) {
      const int id = c.idOf(k, j);
      controls_.setEnabled(id, c.enabled(bits.active(r), bits.siren(r)));
      switch (c.kind) {
        case ColumnKind::Address: controls_.setText(id, row.addressText); break;
        case ColumnKind::Function: controls_.setSelection(id, row.functionIndex); break;
        case ColumnKind::Sequence: controls_.setText(id, row.sequenceText); break;
        default: controls_.setChecked(id, toggleOn(bits, c.kind, r, j)); break;
      }
    }
  }
}

void Form::fillForm() {
  for (int r = 0; r < kRowCount; ++r) {
    AddressText& row = rows_[r];
    row.sequenceText = sequenceShown(image_.sequence(r), kSequenceCodeBytes);
    row.addressText = addressShown(image_.address(r));
    row.functionIndex = image_.functionIndex(r);
  }
  const uint16_t flags = image_.flags();
  for (const GeneralField& f : generalFields()) {
    switch (f.kind) {
      case FieldKind::BaudRate: controls_.setSelection(f.id, flags & kFlagBaud1200); break;
      case FieldKind::Number: controls_.setText(f.id, decimal(image_.word(f.offset))); break;
      case FieldKind::Sequence:
        controls_.setText(f.id, sequenceShown(image_.manualSequence(), kManualSequenceEmptyBytes));
        break;
      case FieldKind::Text: controls_.setText(f.id, identShown(image_.identText())); break;
      case FieldKind::ManualRelays:
        for (int j = 0; j < kRelayCount; ++j)
          controls_.setChecked(f.id + j, (flags >> (kFlagManualRelayShift + j)) & 1u);
        break;
      case FieldKind::ReservedFlags: break;
    }
  }
}

void Form::showImportedImage() {
  topRow_ = 0;
  fillForm();
  showVisibleRows();
}

}  // namespace trv810::config
