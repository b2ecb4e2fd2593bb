#include <algorithm>

#include "config/control_ids.h"
#include "config/form.h"

// The user's clicks on the form: the toggles change the image at once, and moving the
// visible lines stores what was typed before other rows are shown.

namespace trv810::config {

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

bool Form::onToggle(int id) {
  const int lines = ids::kVisibleLines;
  if (id >= ids::kActive && id < ids::kActive + lines) {
    toggleActive(id - ids::kActive);
  } else if (id >= ids::kSiren && id < ids::kSiren + lines) {
    toggleSiren(id - ids::kSiren);
  } else if (id >= ids::kRelay && id < ids::kRelay + kRelayCount * lines) {
    toggleRelay((id - ids::kRelay) / lines, (id - ids::kRelay) % lines);
  } else if (id >= ids::kManualRelay && id < ids::kManualRelay + kRelayCount) {
    toggleManualRelay(id - ids::kManualRelay);
  } else {
    return false;
  }
  return true;
}

void Form::lineUp() { moveTo(topRow_ - 1); }

void Form::lineDown() { moveTo(topRow_ + 1); }

void Form::moveTo(int topRow) {
  storeVisibleRows();
  topRow_ = std::clamp(topRow, 0, kMaxTopRow);
  showVisibleRows();
}

}  // namespace trv810::config
