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

/// Progress of one transfer as a command shows it.
class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  /// A phase without blocks, e.g. "Flash löschen...".
  virtual void status(const std::string& text) = 0;
  /// `done` of the total blocks have gone through.
  virtual void update(uint32_t done) = 0;
  /// Time has passed: a display that shows it redraws.
  virtual void tick() = 0;
  /// The transfer has ended, `complete` or not.
  virtual void finish(bool complete) = 0;
  /// How often tick() is worth calling, or nullopt when never.
  virtual std::optional<std::chrono::milliseconds> tickInterval() const = 0;
};

class Progress final : public ProgressDisplay {
 public:
  enum class Style { None, Bar, Lines };

  /// The style for `out`: None when `quiet`, a bar on a terminal unless frames are
  /// traced (their lines would tear the bar), plain lines otherwise.
  static Style styleFor(std::FILE* out, bool quiet, bool trace);

  /// `total` blocks of `blockBytes` bytes make the whole transfer. Plain lines start
  /// with `prefix` (a unit's port when several run at once).
  Progress(Style style, std::FILE* out, uint32_t total, uint32_t blockBytes = 8, std::string prefix = {});

  /// A phase without blocks, e.g. "Flash löschen...": shown with the time it has taken.
  void status(const std::string& text) override;
  /// `done` of the total blocks have gone through.
  void update(uint32_t done) override;
  /// Redraws the bar (elapsed time and rate move on); nothing in the other styles.
  void tick() override;
  /// Ends the display: the bar at 100% when `complete`, and the line closed.
  void finish(bool complete) override;
  /// How often tick() is worth calling, or nullopt when never.
  std::optional<std::chrono::milliseconds> tickInterval() const override;

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
  std::string prefix_;
};

}  // namespace trv810::cli
