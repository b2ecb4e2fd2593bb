// Several units at once: the threads, their consoles, the shared progress and the
// summary. The main thread only waits and draws; every unit's words are kept by its
// own console and shown once all have ended, so nothing of two units interleaves.

#include "cli/many_units.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "cli/progress.h"
#include "cli/texts.h"
#include "platform/console.h"
#include "platform/event.h"

namespace trv810::cli {
namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kRedraw{250};

// What one unit said, kept for the summary. Written by its thread only, read by the
// main thread after the join.
struct UnitRecord {
  enum class Kind { Info, Failure, Output };
  struct Line {
    Kind kind;
    std::string text;
  };
  std::vector<Line> lines;
  int status = kExitFailed;
};

// What the combined progress line shows, shared by the units' threads and the main
// thread under one lock.
struct Board {
  struct Slot {
    uint32_t total = 0, done = 0;
    std::string status;
    bool finished = false;
    int result = 0;
  };
  explicit Board(std::size_t n) : slots(n) {}
  std::mutex mutex;
  std::vector<Slot> slots;
  platform::Event changed{platform::Event::Reset::Automatic};
  platform::Event stopAll{platform::Event::Reset::Manual};
  std::atomic<std::size_t> finished{0};
};

// A unit's progress as a slot of the combined line.
class SlotProgress final : public ProgressDisplay {
 public:
  SlotProgress(Board& board, std::size_t index, uint32_t total) : board_(board), index_(index) {
    change([total](Board::Slot& s) {
      s.total = total;
      s.done = 0;
    });
  }
  void status(const std::string& text) override {
    change([&](Board::Slot& s) { s.status = text; });
  }
  void update(uint32_t done) override {
    change([done](Board::Slot& s) {
      s.done = done;
      s.status.clear();
    });
  }
  void tick() override {}
  void finish(bool complete) override {
    if (complete) change([](Board::Slot& s) { s.done = s.total; });
  }
  std::optional<std::chrono::milliseconds> tickInterval() const override { return std::nullopt; }

 private:
  template <typename F>
  void change(F f) {
    {
      std::lock_guard lock(board_.mutex);
      f(board_.slots[index_]);
    }
    board_.changed.set();
  }
  Board& board_;
  std::size_t index_;
};

// A unit's console: its words into its record, its progress to the board or as lines
// of its own, and the stop of all units as its stop.
class UnitConsole final : public SessionConsole {
 public:
  UnitConsole(Progress::Style style, const std::string& name, Board& board, std::size_t index, UnitRecord& record)
      : style_(style), name_(name), board_(board), index_(index), record_(record) {}

  void inform(const std::string& text) override { record_.lines.push_back({UnitRecord::Kind::Info, text}); }
  void fail(const std::string& text, const std::string& detail) override {
    record_.lines.push_back({UnitRecord::Kind::Failure, detail.empty() ? text : text + " " + detail});
  }
  void output(const std::string& line) override { record_.lines.push_back({UnitRecord::Kind::Output, line}); }
  void trace(const std::string& line) override { std::fprintf(stderr, "%s: %s\n", name_.c_str(), line.c_str()); }
  std::unique_ptr<ProgressDisplay> progress(uint32_t totalBlocks) override {
    if (style_ == Progress::Style::Bar) return std::make_unique<SlotProgress>(board_, index_, totalBlocks);
    return std::make_unique<Progress>(style_, stderr, totalBlocks, 8, name_ + ": ");
  }
  platform::WaitOutcome wait(platform::Event& ready, platform::Millis timeout) override {
    return platform::waitForEither(ready, board_.stopAll, timeout);
  }

 private:
  const Progress::Style style_;
  const std::string& name_;
  Board& board_;
  const std::size_t index_;
  UnitRecord& record_;
};

std::string slotText(const Board::Slot& s, const UnitVerdicts& verdicts) {
  if (s.finished) return s.result == 0 ? std::string(texts::kDone) : std::string(verdicts.word(s.result));
  if (!s.status.empty()) return s.status;
  if (s.total == 0) return std::string(texts::kOpening);
  return std::to_string(uint64_t{s.done} * 100 / s.total) + "%";
}

void drawCombined(Board& board, const UnitVerdicts& verdicts) {
  std::string line;
  {
    std::lock_guard lock(board.mutex);
    for (std::size_t i = 0; i < board.slots.size(); ++i) {
      if (i > 0) line += "  ";
      line += '[';
      line += std::to_string(i + 1);
      line += "] ";
      line += slotText(board.slots[i], verdicts);
    }
  }
  std::fprintf(stderr, "\r%s\033[K", line.c_str());
  std::fflush(stderr);
}

// Runs one unit's job on its thread: a session of its own, told through `console`.
void runUnit(const GlobalOptions& options, const PortTarget& target, const UnitJob& job, UnitConsole& console,
             UnitRecord& record, Board& board, std::size_t index) {
  try {
    TransferSession session(options, target, console);
    record.status = job(session);
  } catch (const std::bad_alloc&) {
    console.fail(std::string(texts::kOutOfMemory), {});
    record.status = kExitFailed;
  }
  {
    std::lock_guard lock(board.mutex);
    board.slots[index].finished = true;
    board.slots[index].result = record.status;
  }
  board.finished.fetch_add(1);
  board.changed.set();
}

std::string_view wordFor(int status, const UnitVerdicts& verdicts) {
  return status == kExitInterrupted ? texts::kStopped : verdicts.word(status);
}

void printSummary(const GlobalOptions& options, const std::vector<PortTarget>& targets,
                  const std::vector<UnitRecord>& records, const UnitVerdicts& verdicts, bool interrupted) {
  for (std::size_t i = 0; i < targets.size(); ++i) {
    for (const UnitRecord::Line& line : records[i].lines)
      if (line.kind == UnitRecord::Kind::Output) std::printf("%s: %s\n", targets[i].name.c_str(), line.text.c_str());
  }
  std::size_t nameWidth = 0, wordWidth = 0;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    nameWidth = std::max(nameWidth, targets[i].name.size());
    wordWidth = std::max(wordWidth, wordFor(records[i].status, verdicts).size());
  }
  std::map<std::string_view, int> counts;
  std::vector<std::string_view> order;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    const UnitRecord& r = records[i];
    const std::string_view word = wordFor(r.status, verdicts);
    if (counts[word]++ == 0) order.push_back(word);
    // A success shows what the unit said; anything else only its failures.
    std::string said;
    for (const UnitRecord::Line& line : r.lines) {
      if (line.kind == UnitRecord::Kind::Output) continue;
      if (r.status != kExitOk && line.kind != UnitRecord::Kind::Failure) continue;
      said += (said.empty() ? "" : "; ") + line.text;
    }
    const bool ok = r.status == kExitOk;
    if (ok && options.quiet) continue;
    std::fflush(stdout);
    std::fprintf(ok ? stdout : stderr, "%-*s  %-*s  %s\n", static_cast<int>(nameWidth), targets[i].name.c_str(),
                 static_cast<int>(wordWidth), std::string(word).c_str(), said.c_str());
    std::fflush(ok ? stdout : stderr);
  }
  if (!options.quiet) {
    std::string line = texts::unitCount(targets.size());
    for (std::size_t k = 0; k < order.size(); ++k)
      line += (k > 0 ? ", " : "") + std::to_string(counts[order[k]]) + " " + std::string(order[k]);
    std::printf("%s.\n", line.c_str());
  }
  if (interrupted) {
    std::string finished;
    for (std::size_t i = 0; i < targets.size(); ++i)
      if (records[i].status != kExitInterrupted) finished += (finished.empty() ? "" : ", ") + targets[i].name;
    std::fflush(stdout);
    if (finished.empty()) {
      std::fprintf(stderr, "%s\n", std::string(texts::kStoppedNoneFinished).c_str());
    } else {
      std::fprintf(stderr, "%s%s.\n", std::string(texts::kStoppedFinished).c_str(), finished.c_str());
    }
  }
}

int runAll(const GlobalOptions& options, const std::vector<PortTarget>& targets, const UnitJob& job,
           const UnitVerdicts& verdicts) {
  const std::size_t n = targets.size();
  const Progress::Style style = Progress::styleFor(stderr, options.quiet, options.trace);
  Board board(n);
  std::vector<UnitRecord> records(n);
  std::vector<std::unique_ptr<UnitConsole>> consoles;
  // Ctrl-C waits for the loop below from now on; every thread started after this
  // inherits it, the links' threads too.
  platform::StopRequests stops;
  if (style == Progress::Style::Bar) {
    for (std::size_t i = 0; i < n; ++i) std::fprintf(stderr, "[%zu] %s\n", i + 1, targets[i].name.c_str());
  }
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < n; ++i) {
    consoles.push_back(std::make_unique<UnitConsole>(style, targets[i].name, board, i, records[i]));
    try {
      threads.emplace_back(runUnit, std::cref(options), std::cref(targets[i]), std::cref(job),
                           std::ref(*consoles[i]), std::ref(records[i]), std::ref(board), i);
    } catch (const std::system_error&) {
      consoles[i]->fail(std::string(texts::kUnitThreadFailed), {});
      records[i].status = kExitFailed;
      std::lock_guard lock(board.mutex);
      board.slots[i].finished = true;
      board.slots[i].result = kExitFailed;
      board.finished.fetch_add(1);
    }
  }
  bool interrupted = false;
  while (board.finished.load() < n) {
    const platform::WaitOutcome woke =
        stops.wait(board.changed, style == Progress::Style::Bar ? kRedraw : platform::kForever);
    if (woke == platform::WaitOutcome::Second && !interrupted) {
      interrupted = true;
      board.stopAll.set();
    }
    if (style == Progress::Style::Bar) drawCombined(board, verdicts);
  }
  for (std::thread& t : threads) t.join();
  if (style == Progress::Style::Bar) {
    drawCombined(board, verdicts);
    std::fputc('\n', stderr);
  }
  printSummary(options, targets, records, verdicts, interrupted);
  std::vector<int> statuses;
  for (const UnitRecord& r : records) statuses.push_back(r.status);
  if (std::find(statuses.begin(), statuses.end(), kExitInterrupted) != statuses.end()) return kExitInterrupted;
  return verdicts.overall(statuses);
}

}  // namespace

bool takesSeveralPorts(const Command& command) {
  return &command == &kReadCommand || &command == &kWriteCommand || &command == &kFlashCommand ||
         &command == &kDiffCommand;
}

void addPorts(GlobalOptions& options, const std::string& list) {
  std::size_t at = 0;
  for (;;) {
    const std::size_t comma = list.find(',', at);
    options.ports.push_back(list.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  options.port = options.ports.front();
}

std::optional<std::vector<PortTarget>> resolvePorts(const GlobalOptions& options, std::string& error) {
  const std::vector<std::string> given = options.ports.empty() ? std::vector<std::string>{options.port} : options.ports;
  std::vector<PortTarget> targets;
  for (const std::string& port : given) {
    if (port.empty()) {
      error = texts::kEmptyPort;
      return std::nullopt;
    }
    std::optional<PortTarget> target = resolvePort(port, error);
    if (!target) return std::nullopt;
    for (const PortTarget& earlier : targets) {
      // Two links on one device would fight over it; the second would only fail.
      if (earlier.name == target->name) error = texts::portTwice(target->name);
      else if (earlier.device == target->device) error = texts::sameDevice(earlier.name, target->name, target->device);
      if (!error.empty()) return std::nullopt;
    }
    targets.push_back(std::move(*target));
  }
  return targets;
}

std::string fileSafeName(std::string_view name) {
  std::string out;
  for (const char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    const bool keep = u < 0x80 && (std::isalnum(u) || c == '-' || c == '.');
    if (keep) {
      out += c;
    } else if (!out.empty() && out.back() != '_') {
      out += '_';  // a leading run is dropped, every other one becomes one '_'
    }
  }
  return out;
}

std::string pathForPort(const std::string& path, const std::string& port) {
  std::string out = path;
  const std::string safe = fileSafeName(port);
  for (std::size_t at = out.find(kPortPlaceholder); at != std::string::npos;
       at = out.find(kPortPlaceholder, at + safe.size()))
    out.replace(at, kPortPlaceholder.size(), safe);
  return out;
}

UnitVerdicts transferVerdicts() {
  return {[](int status) { return status == kExitOk ? texts::kSucceeded : texts::kFailed; },
          [](const std::vector<int>& statuses) {
            return std::all_of(statuses.begin(), statuses.end(), [](int s) { return s == kExitOk; }) ? kExitOk
                                                                                                     : kExitFailed;
          }};
}

int runUnits(const GlobalOptions& options, const std::vector<PortTarget>& targets, const UnitJob& job,
             const UnitVerdicts& verdicts) {
  if (targets.size() == 1) {
    TransferSession session(options, targets.front());
    return job(session);
  }
  return runAll(options, targets, job, verdicts);
}

}  // namespace trv810::cli
