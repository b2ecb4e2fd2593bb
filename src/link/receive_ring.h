#pragma once
// The ReceiveRing: eight slots of 128 bytes through which decoded frames pass from the
// receiver thread to the transfer thread. A slot is a length byte (payload bytes only)
// followed by the content: payload, then its two check bytes. The writer never looks
// at the read index; the pause after each delivered frame is the only flow control.
// Slot copies and the indices are guarded by a mutex so the two threads never race.

#include <array>
#include <cstdint>
#include <mutex>
#include <span>

namespace trv810::link {

class ReceiveRing {
 public:
  static constexpr int kSlots = 8;
  static constexpr int kSlotSize = 128;
  using Slot = std::array<uint8_t, kSlotSize>;

  /// Sets both indices to 0 (receiver start, and a transfer building its opening request).
  void resetIndices();

  /// Producer: stores a good frame's content (payload and check bytes, at most 127
  /// bytes) in the slot at the write index and advances the write index.
  void store(std::span<const uint8_t> content);

  /// Consumer: a copy of the slot at the read index; the read index advances.
  Slot take();

  uint8_t writeIndex() const;
  uint8_t readIndex() const;
  /// A copy of slot `index` (0..7), for inspection.
  Slot slot(int index) const;

 private:
  mutable std::mutex mutex_;
  std::array<Slot, kSlots> slots_{};
  uint8_t write_ = 0;
  uint8_t read_ = 0;
};

}  // namespace trv810::link
