#include "sim/line_pacing.h"

#include <algorithm>

namespace trv810::sim {

LinePacing::LinePacing(uint32_t baud) : baud_(baud) {}

Micros LinePacing::lineTime(std::size_t bytes) const {
  if (baud_ == 0) return Micros(0);
  return Micros(static_cast<int64_t>(bytes) * 10 * 1'000'000 / baud_);
}

Micros LinePacing::receive(std::size_t bytes, Micros now) {
  const Micros start = std::max(now, rxFree_);
  const Micros length = lineTime(bytes);
  rxFree_ = start + length;
  rxBusy_ += length;
  return start;
}

Micros LinePacing::transmit(std::size_t bytes, Micros earliest) {
  const Micros start = std::max(earliest, txFree_);
  const Micros length = lineTime(bytes);
  txFree_ = start + length;
  txBusy_ += length;
  return txFree_;
}

}  // namespace trv810::sim
