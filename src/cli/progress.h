#pragma once
// Progress of a transfer on standard error. On a terminal one line is redrawn in
// place: a bar of blocks, the percentage, the blocks done, the rate and the time
// left. Elsewhere (a pipe, a log file) a plain line comes at each status change and
// each quarter of the blocks, so logs stay short. With --quiet nothing is shown.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "transfer/progress_estimate.h"

namespace trv810::cli {

class Progress {
 public:
  enum class Style { None, Bar, Lines };

  /// The style for `out`: None when `quiet`, a bar on a terminal unless frames are
  /// traced (their lines would tear the bar), plain lines otherwise.
  static Style styleFor(std::FILE* out, bool quiet, bool trace);

  /// `total` blocks of `blockBytes` bytes make the whole transfer.
  Progress(Style style, std::FILE* out, uint32_t total, uint32_t blockBytes = 8);

  /// A phase without blocks, e.g. "Flash löschen...": shown with the time it has taken.
  void status(const std::string& text);
  /// `done` of the total blocks have gone through.
  void update(uint32_t done);
  /// Redraws the bar (elapsed time and rate move on); nothing in the other styles.
  void tick();
  /// Ends the display: the bar at 100% when `complete`, and the line closed.
  void finish(bool complete);
  /// How often tick() is worth calling, or nullopt when never.
  std::optional<std::chrono::milliseconds> tickInterval() const;

  /// The bar line for `done` of `total` blocks; `bytesPerSecond` <= 0 when unknown.
  static std::string barLine(uint32_t done, uint32_t total, double bytesPerSecond, double secondsLeft);

 private:
  using Clock = std::chrono::steady_clock;
  void draw();

  Style style_;
  std::FILE* out_;
  uint32_t total_;
  uint32_t done_ = 0;
  std::string status_;
  Clock::time_point statusSince_ = Clock::now();
  transfer::ProgressEstimate estimate_;  // the rate and the time left, shared with the windows
  int lastQuarter_ = 0;
  bool lineOpen_ = false;
};

}  // namespace trv810::cli
