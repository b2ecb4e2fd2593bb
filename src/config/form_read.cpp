#include <algorithm>
#include <cstdio>

#include "config/control_ids.h"
#include "config/form.h"
#include "config/signal_sequence.h"
#include "config/texts.h"

// Reading the form back: the checks of "TRV programmieren" and "In Datei sichern", in
// their fixed order (all addresses, then all sequences, then the general settings),
// and the messages of their result codes.

namespace trv810::config {
namespace {

constexpr uint32_t kMinAddress = 8;
constexpr uint32_t kMaxAddress = 2047993;
constexpr uint32_t kMaxSwitchOnTime = 65000;
constexpr uint32_t kMaxSeconds = 254;  // dead time and alarm interval
constexpr std::size_t kIdentChars = 31;

// A number field: its value when it is non-empty, all digits and within 1..max.
std::optional<uint32_t> numberIn(std::string_view text, uint32_t max) {
  const std::optional<uint32_t> v = decimalValue(text);
  if (!v || *v == 0 || *v > max) return std::nullopt;
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
    case FormResult::kNoBaudRate: return std::string(texts::kNoBaudRate);
    case FormResult::kManualSequenceError: return std::string(texts::kManualSequenceError);
    case FormResult::kDeadTimeError: return std::string(texts::kDeadTimeError);
    case FormResult::kAlarmIntervalError: return std::string(texts::kAlarmIntervalError);
    case FormResult::kIdentError: return std::string(texts::kIdentError);
    default: break;
  }
  const int relay = result.code - FormResult::kSwitchOnTimeError + 3;
  return std::string(texts::kSwitchOnTimeError) + std::to_string(relay);
}

std::string formResultHint(FormResult result) {
  switch (result.code) {
    case FormResult::kValid: return {};
    case FormResult::kAddressError: return std::string(texts::kAddressHint);
    case FormResult::kSequenceError:
    case FormResult::kManualSequenceError: return std::string(texts::kSequenceHint);
    case FormResult::kNoBaudRate: return std::string(texts::kBaudRateHint);
    case FormResult::kDeadTimeError:
    case FormResult::kAlarmIntervalError: return std::string(texts::kSecondsHint);
    case FormResult::kIdentError: return std::string(texts::kIdentHint);
    default: return std::string(texts::kSwitchOnTimeHint);
  }
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

// Steps after the rows; returns the result code.
int Form::readGeneral() {
  const int baud = controls_.selection(ids::kBaudRate);
  if (baud < 0) return FormResult::kNoBaudRate;
  image_.setFlags(static_cast<uint16_t>((image_.flags() & ~kFlagBaud1200) | (baud != 0 ? kFlagBaud1200 : 0)));
  for (int j = 0; j < kRelayCount; ++j) {
    const auto seconds =
        numberIn(firstChars(controls_.text(ids::switchOnTime(j)), kSwitchOnTimeChars), kMaxSwitchOnTime);
    if (!seconds) return FormResult::kSwitchOnTimeError + j;
    image_.setSwitchOnTime(j, static_cast<uint16_t>(*seconds));
  }
  const std::string manual = firstChars(controls_.text(ids::kManualSequence), kSequenceTextChars);
  if (!parseSignalSequence(manual, image_.manualSequence())) return FormResult::kManualSequenceError;
  const auto dead = numberIn(firstChars(controls_.text(ids::kDeadTime), kSecondsChars), kMaxSeconds);
  if (!dead) return FormResult::kDeadTimeError;
  image_.setDeadTime(static_cast<uint16_t>(*dead));
  const auto interval = numberIn(firstChars(controls_.text(ids::kAlarmInterval), kSecondsChars), kMaxSeconds);
  if (!interval) return FormResult::kAlarmIntervalError;
  image_.setAlarmInterval(static_cast<uint16_t>(*interval));
  const std::string ident = firstChars(controls_.text(ids::kIdent), kIdentChars);
  if (ident.size() > kIdentSize) return FormResult::kIdentError;
  // A shorter ident is ended by one zero byte; the bytes behind it keep what they held.
  const auto field = image_.identText();
  std::copy(ident.begin(), ident.end(), field.begin());
  if (ident.size() < kIdentSize) field[ident.size()] = 0;
  return FormResult::kValid;
}

}  // namespace trv810::config
