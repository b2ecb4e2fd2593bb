#include "link/receive_ring.h"

#include <algorithm>

namespace trv810::link {

void ReceiveRing::resetIndices() {
  std::lock_guard lock(mutex_);
  write_ = read_ = 0;
}

void ReceiveRing::store(std::span<const uint8_t> content) {
  std::lock_guard lock(mutex_);
  Slot& slot = slots_[write_];
  const std::size_t n = std::min<std::size_t>(content.size(), kSlotSize - 1);
  std::copy_n(content.begin(), n, slot.begin() + 1);
  slot[0] = static_cast<uint8_t>(n >= 2 ? n - 2 : 0);
  write_ = static_cast<uint8_t>((write_ + 1) % kSlots);
}

ReceiveRing::Slot ReceiveRing::take() {
  std::lock_guard lock(mutex_);
  Slot copy = slots_[read_];
  read_ = static_cast<uint8_t>((read_ + 1) % kSlots);
  return copy;
}

uint8_t ReceiveRing::writeIndex() const {
  std::lock_guard lock(mutex_);
  return write_;
}

uint8_t ReceiveRing::readIndex() const {
  std::lock_guard lock(mutex_);
  return read_;
}

ReceiveRing::Slot ReceiveRing::slot(int index) const {
  std::lock_guard lock(mutex_);
  return slots_[static_cast<std::size_t>(index) % kSlots];
}

}  // namespace trv810::link
