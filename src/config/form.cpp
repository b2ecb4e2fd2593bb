#include "config/form.h"

#include <algorithm>
#include <cstdio>

#include "config/control_ids.h"
#include "config/general_fields.h"
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
  for (int k = 0; k < ids::kVisibleLines; ++k) {
    controls_.setText(ids::rowNumber(k), decimal(static_cast<unsigned>(k + 1)));
    controls_.setChecked(ids::active(k), false);
    controls_.setEnabled(ids::active(k), true);
    controls_.setText(ids::address(k), {});
    controls_.setSelection(ids::function(k), 0);
    controls_.setText(ids::sequence(k), {});
    controls_.setChecked(ids::siren(k), false);
    for (int j = 0; j < kRelayCount; ++j) controls_.setChecked(ids::relay(j, k), false);
    for (int id : {ids::address(k), ids::function(k), ids::siren(k), ids::sequence(k)})
      controls_.setEnabled(id, false);
    for (int j = 0; j < kRelayCount; ++j) controls_.setEnabled(ids::relay(j, k), false);
  }
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
  for (int k = 0; k < ids::kVisibleLines; ++k) showLine(k);
}

void Form::showLine(int k) {
  const int r = rowOf(k);
  const bool active = image_.active(r);
  controls_.setText(ids::rowNumber(k), decimal(static_cast<unsigned>(r + 1)));
  for (int id : {ids::address(k), ids::function(k), ids::siren(k)}) controls_.setEnabled(id, active);
  for (int j = 0; j < kRelayCount; ++j) controls_.setEnabled(ids::relay(j, k), active);
  controls_.setEnabled(ids::sequence(k), active && image_.siren(r));
  controls_.setEnabled(ids::active(k), true);
  controls_.setChecked(ids::active(k), active);
  controls_.setChecked(ids::siren(k), image_.siren(r));
  for (int j = 0; j < kRelayCount; ++j) controls_.setChecked(ids::relay(j, k), image_.relayOn(j, r));
  const AddressText& row = rows_[r];
  controls_.setText(ids::address(k), row.addressText);
  controls_.setSelection(ids::function(k), row.functionIndex);
  controls_.setText(ids::sequence(k), row.sequenceText);
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
