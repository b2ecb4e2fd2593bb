#include "transfer/progress_estimate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace trv810::transfer {

std::string clockText(double seconds) {
  const long s = std::lround(std::max(0.0, seconds));
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
  return text;
}

void ProgressEstimate::update(uint32_t done, Clock::time_point now) {
  // The rate counts from the first block that went through, not from the start: the
  // unit's erase before it says nothing about the blocks' pace.
  if (!firstAt_) {
    firstAt_ = now;
    first_ = std::min(done, total_);
  }
  done_ = std::min(done, total_);
}

int ProgressEstimate::percent() const {
  if (total_ == 0) return 100;
  return static_cast<int>(uint64_t{done_} * 100 / total_);
}

double ProgressEstimate::bytesPerSecond(Clock::time_point now) const {
  if (!firstAt_ || done_ <= first_) return 0;
  const double seconds = std::chrono::duration<double>(now - *firstAt_).count();
  return seconds > 0 ? (done_ - first_) * static_cast<double>(blockBytes_) / seconds : 0;
}

std::optional<double> ProgressEstimate::secondsLeft(Clock::time_point now) const {
  const double rate = bytesPerSecond(now);
  if (rate <= 0) return std::nullopt;
  return (total_ - done_) * static_cast<double>(blockBytes_) / rate;
}

}  // namespace trv810::transfer
