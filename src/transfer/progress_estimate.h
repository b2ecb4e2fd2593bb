#pragma once
// How far a transfer has come and how long the rest will take: the share of its
// blocks that went through, and the time left at the rate since the first block. The
// flash-update window and trv810ctl show both. There is no clock inside; every call
// that needs the time is given it.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace trv810::transfer {

/// A span of time as the user reads it: "m:ss", rounded to whole seconds, never below 0:00.
std::string clockText(double seconds);

class ProgressEstimate {
 public:
  using Clock = std::chrono::steady_clock;

  /// `total` blocks of `blockBytes` bytes make the whole transfer.
  explicit ProgressEstimate(uint32_t total = 0, uint32_t blockBytes = 8) : total_(total), blockBytes_(blockBytes) {}

  /// `done` of the blocks (at most the total counts) have gone through at `now`.
  void update(uint32_t done, Clock::time_point now);

  uint32_t done() const { return done_; }
  uint32_t total() const { return total_; }
  /// 0 to 100, rounded down: 100 only once every block went through (or there are none).
  int percent() const;
  /// Bytes a second since the first block, at `now`; 0 until a second update has
  /// brought more blocks.
  double bytesPerSecond(Clock::time_point now) const;
  /// Seconds until the last block at that rate, or nothing while the rate is unknown.
  std::optional<double> secondsLeft(Clock::time_point now) const;

 private:
  uint32_t total_;
  uint32_t blockBytes_;
  uint32_t done_ = 0;
  std::optional<Clock::time_point> firstAt_;
  uint32_t first_ = 0;
};

}  // namespace trv810::transfer
