#include "cli/progress.h"

#include <algorithm>

#include "cli/texts.h"
#include "platform/console.h"

namespace trv810::cli {
namespace {

constexpr int kBarWidth = 30;
constexpr std::chrono::milliseconds kTick{500};

using transfer::clockText;

}  // namespace

Progress::Style Progress::styleFor(std::FILE* out, bool quiet, bool trace) {
  if (quiet) return Style::None;
  return platform::isTerminal(out) && !trace ? Style::Bar : Style::Lines;
}

Progress::Progress(Style style, std::FILE* out, uint32_t total, uint32_t blockBytes, std::string prefix)
    : style_(style), out_(out), total_(total), estimate_(total, blockBytes), prefix_(std::move(prefix)) {}

std::string Progress::barLine(uint32_t done, uint32_t total, double bytesPerSecond, double secondsLeft) {
  const double fraction = total == 0 ? 1.0 : std::min(1.0, static_cast<double>(done) / total);
  const int filled = static_cast<int>(fraction * kBarWidth);
  std::string line = "[";
  line.append(static_cast<std::size_t>(filled), '#');
  line.append(static_cast<std::size_t>(kBarWidth - filled), '.');
  line += ']';
  char text[128];
  std::snprintf(text, sizeof text, texts::kBarBlocksFormat, static_cast<int>(fraction * 100), done, total);
  line += text;
  if (bytesPerSecond > 0) {
    std::snprintf(text, sizeof text, texts::kBarSpeedFormat, bytesPerSecond / 1000, clockText(secondsLeft).c_str());
    line += text;
  }
  return line;
}

void Progress::status(const std::string& text) {
  if (text == status_) return;
  status_ = text;
  statusSince_ = Clock::now();
  if (style_ == Style::Lines) std::fprintf(out_, "%s%s\n", prefix_.c_str(), text.c_str());
  draw();
}

void Progress::update(uint32_t done) {
  estimate_.update(done, Clock::now());
  done_ = estimate_.done();
  status_.clear();
  if (style_ == Style::Lines && total_ > 0) {
    const int quarter = static_cast<int>(uint64_t{done_} * 4 / total_);
    if (quarter > lastQuarter_) {
      lastQuarter_ = quarter;
      std::fprintf(out_, texts::kQuarterLineFormat, prefix_.c_str(), quarter * 25, done_, total_);
    }
  }
  draw();
}

void Progress::tick() { draw(); }

void Progress::finish(bool complete) {
  if (style_ == Style::None) return;
  if (complete && done_ < total_) {
    done_ = total_;
    status_.clear();
    if (style_ == Style::Lines && lastQuarter_ < 4)
      std::fprintf(out_, texts::kCompleteLineFormat, prefix_.c_str(), total_, total_);
    draw();
  }
  if (lineOpen_) std::fputc('\n', out_);
  lineOpen_ = false;
  std::fflush(out_);
}

std::optional<std::chrono::milliseconds> Progress::tickInterval() const {
  if (style_ == Style::Bar) return kTick;
  return std::nullopt;
}

void Progress::draw() {
  if (style_ != Style::Bar) return;
  std::string line;
  if (!status_.empty()) {
    const double seconds = std::chrono::duration<double>(Clock::now() - statusSince_).count();
    line = status_ + "  " + clockText(seconds);
  } else {
    const auto now = Clock::now();
    line = barLine(done_, total_, estimate_.bytesPerSecond(now), estimate_.secondsLeft(now).value_or(0));
  }
  // \r to the line's start, the text, then clear what a longer earlier line left.
  std::fprintf(out_, "\r%s\033[K", line.c_str());
  std::fflush(out_);
  lineOpen_ = true;
}

}  // namespace trv810::cli
