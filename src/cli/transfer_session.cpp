#include "cli/transfer_session.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <utility>

#include "cli/command.h"
#include "cli/texts.h"
#include "link/port_table.h"
#include "platform/console.h"
#include "platform/event.h"
#include "platform/network_address.h"
#include "platform/serial_device.h"
#include "transfer/texts.h"

namespace trv810::cli {

// The notifications of the transfer thread, queued for the command's thread. Its
// event is set while something waits, so the wait can take it together with a stop
// request.
class TransferSession::Sink : public transfer::NotificationSink {
 public:
  void post(const transfer::Notification& n) override {
    {
      std::lock_guard lock(mutex_);
      queue_.push_back(n);
    }
    ready_.set();
  }
  std::deque<transfer::Notification> takeAll() {
    ready_.tryConsume();
    std::lock_guard lock(mutex_);
    return std::exchange(queue_, {});
  }
  void clear() { takeAll(); }
  platform::Event& ready() { return ready_; }

 private:
  std::mutex mutex_;
  std::deque<transfer::Notification> queue_;
  platform::Event ready_{platform::Event::Reset::Automatic};
};

std::optional<PortTarget> resolvePort(const std::string& port, std::string& error) {
  if (const auto index = link::PortTable::indexOf(port)) {
    const link::PortTable table = link::PortTable::fromEnvironment();
    return PortTarget{table.entry(*index).name, table.entry(*index).device};
  }
  if (platform::isNetworkAddress(port)) {
    // Told before anything is opened: a malformed address is the caller's mistake.
    error = transfer::texts::addressProblem(port);
    if (!error.empty()) return std::nullopt;
    return PortTarget{port, port};
  }
  if (std::string device = platform::portDeviceFor(port); !device.empty()) return PortTarget{port, device};
  error = texts::unknownPort(port);
  return std::nullopt;
}

namespace {

// The process's console: words straight to standard output and error, the progress
// as progress.h draws it, Ctrl-C and requests to end as the stop.
class ProcessConsole final : public SessionConsole {
 public:
  explicit ProcessConsole(GlobalOptions options) : options_(std::move(options)) {}
  void inform(const std::string& text) override {
    if (!options_.quiet) std::printf("%s\n", text.c_str());
  }
  void fail(const std::string& text, const std::string& detail) override { failure(text, detail); }
  void output(const std::string& line) override { std::printf("%s\n", line.c_str()); }
  void trace(const std::string& line) override { std::fprintf(stderr, "%s\n", line.c_str()); }
  std::unique_ptr<ProgressDisplay> progress(uint32_t totalBlocks) override {
    return std::make_unique<Progress>(Progress::styleFor(stderr, options_.quiet, options_.trace), stderr, totalBlocks);
  }
  // From the first transfer on, Ctrl-C waits for the wait below; before it, it ends
  // the program as usual (nothing is open or half-written then). Taken before the
  // link's threads start, which inherit it.
  void beforeTransfer() override {
    if (!stopRequests_) stopRequests_.emplace();
  }
  platform::WaitOutcome wait(platform::Event& ready, platform::Millis timeout) override {
    return stopRequests_->wait(ready, timeout);
  }

 private:
  const GlobalOptions options_;
  std::optional<platform::StopRequests> stopRequests_;
};

}  // namespace

TransferSession::TransferSession(const GlobalOptions& options, PortTarget target)
    : TransferSession(options, std::move(target), std::make_unique<ProcessConsole>(options), nullptr) {}

TransferSession::TransferSession(const GlobalOptions& options, PortTarget target, SessionConsole& console)
    : TransferSession(options, std::move(target), nullptr, &console) {}

TransferSession::TransferSession(const GlobalOptions& options, PortTarget target,
                                 std::unique_ptr<SessionConsole> own, SessionConsole* given)
    : options_(options),
      target_(std::move(target)),
      ownConsole_(std::move(own)),
      console_(given != nullptr ? *given : *ownConsole_),
      sink_(std::make_unique<Sink>()),
      app_(link::PortTable::fromEnvironment()) {
  if (options_.trace) {
    app_.transfer().setTraceHook([this](transfer::TraceDirection d, std::span<const uint8_t> payload) {
      trace(d == transfer::TraceDirection::Sent, payload.data(), payload.size());
    });
  }
}

TransferSession::~TransferSession() {
  app_.closePort();
}

RunOutcome TransferSession::run(const std::function<transfer::Start(transfer::NotificationSink&)>& start,
                                const ProgressPlan& plan) {
  console_.beforeTransfer();
  sink_->clear();
  const transfer::Start started = start(*sink_);
  if (!started) {
    fail(started.message.text, started.message.detail);
    return {};
  }
  const std::unique_ptr<ProgressDisplay> progress = console_.progress(plan.totalBlocks);
  return wait(*progress, plan);
}

void TransferSession::tell(const transfer::Message& message) const {
  if (message.icon != window::Icon::Information) {
    fail(message.text, message.detail);
  } else {
    inform(message.text);
  }
}

int TransferSession::fail(const std::string& text, const std::string& detail) const {
  console_.fail(text, detail);
  return kExitFailed;
}

RunOutcome TransferSession::wait(ProgressDisplay& progress, const ProgressPlan& plan) {
  for (;;) {
    const auto interval = progress.tickInterval();
    const platform::WaitOutcome woke = console_.wait(sink_->ready(), interval ? *interval : platform::kForever);
    if (woke == platform::WaitOutcome::TimedOut) {
      progress.tick();
      continue;
    }
    if (woke == platform::WaitOutcome::First) {
      for (const transfer::Notification& n : sink_->takeAll()) {
        switch (n.message) {
          case transfer::WM_TRANSFER_STARTED:
            if (!plan.startedText.empty()) progress.status(plan.startedText);
            break;
          case transfer::WM_TRANSFER_PROGRESS: {
            const uint32_t done = n.wParam;
            progress.update(done);
            if (plan.onProgress) plan.onProgress(done);
            break;
          }
          case transfer::WM_TRANSFER_RESULT:
            // The thread now waits for the stop event; the operation's end() closes the port.
            progress.finish(n.wParam == transfer::RESULT_PROGRAMMED || n.wParam == transfer::RESULT_READ_DONE);
            return {RunOutcome::Kind::Result, n.wParam};
          default:
            break;
        }
      }
    }
    if (woke == platform::WaitOutcome::Second) {
      app_.closePort();  // as "Abbrechen": the threads end, nothing more is posted
      progress.finish(false);
      sink_->clear();
      return {RunOutcome::Kind::Interrupted, 0};
    }
  }
}

void TransferSession::trace(bool sent, const uint8_t* payload, std::size_t length) {
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began_).count();
  // One line per frame, written at once: stdio locks the stream, so lines never interleave.
  std::string line;
  char text[32];
  std::snprintf(text, sizeof text, "%10.3f %s", seconds, sent ? "->" : "<-");
  line = text;
  for (std::size_t i = 0; i < length; ++i) {
    std::snprintf(text, sizeof text, " %02X", payload[i]);
    line += text;
  }
  console_.trace(line);
}

}  // namespace trv810::cli
