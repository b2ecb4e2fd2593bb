#include "cli/transfer_session.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <utility>

#include "cli/command.h"
#include "link/port_table.h"
#include "platform/error_text.h"
#include "platform/event.h"

namespace trv810::cli {

// The notifications of the transfer thread, queued for the command's thread. The
// event's descriptor is readable while something waits, so poll() can wait on it
// together with the signals.
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
  int descriptor() const { return ready_.descriptor(); }

 private:
  std::mutex mutex_;
  std::deque<transfer::Notification> queue_;
  platform::Event ready_{platform::Event::Reset::Automatic};
};

namespace {

int blockStopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  // Blocked before any thread starts, so every thread inherits the mask and the
  // signals wait in the signalfd instead of ending the process mid-transfer.
  if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) return -1;
  return signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
}

}  // namespace

std::optional<PortTarget> resolvePort(const std::string& port, std::string& error) {
  if (const auto index = link::PortTable::indexOf(port)) {
    const link::PortTable table = link::PortTable::fromEnvironment();
    return PortTarget{table.entry(*index).name, table.entry(*index).device};
  }
  if (port.find('/') != std::string::npos) return PortTarget{port, port};
  error = "unbekannter Port " + port + " (COM1..COM12 oder ein Gerätepfad)";
  return std::nullopt;
}

TransferSession::TransferSession(const GlobalOptions& options, PortTarget target)
    : options_(options),
      target_(std::move(target)),
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
  if (signalFd_ >= 0) ::close(signalFd_);
}

RunOutcome TransferSession::run(const std::function<transfer::Start(transfer::NotificationSink&)>& start,
                                const ProgressPlan& plan) {
  // From the first transfer on, Ctrl-C waits for the wait below; before it, it ends
  // the program as usual (nothing is open or half-written then).
  if (signalFd_ < 0) signalFd_ = blockStopSignals();
  sink_->clear();
  const transfer::Start started = start(*sink_);
  if (!started) {
    failure(started.message.text, started.message.detail);
    return {};
  }
  Progress progress(Progress::styleFor(stderr, options_.quiet, options_.trace), stderr, plan.totalBlocks);
  return wait(progress, plan);
}

void TransferSession::tell(const transfer::Message& message) const {
  if (message.icon != platform::Icon::Information) {
    failure(message.text, message.detail);
  } else if (!options_.quiet) {
    std::printf("%s\n", message.text.c_str());
  }
}

RunOutcome TransferSession::wait(Progress& progress, const ProgressPlan& plan) {
  pollfd fds[2] = {{sink_->descriptor(), POLLIN, 0}, {signalFd_, POLLIN, 0}};
  const int count = signalFd_ >= 0 ? 2 : 1;
  for (;;) {
    const auto interval = progress.tickInterval();
    const int ready = ::poll(fds, count, interval ? static_cast<int>(interval->count()) : -1);
    if (ready < 0 && errno != EINTR) {
      const int error = errno;
      app_.closePort();
      progress.finish(false);
      failure(std::string("trv810ctl: Warten auf die Übertragung fehlgeschlagen: ") + platform::errorText(error));
      return {};
    }
    if (ready <= 0) {
      progress.tick();
      continue;
    }
    if (fds[0].revents != 0) {
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
    if (count == 2 && (fds[1].revents & POLLIN) != 0) {
      signalfd_siginfo info{};
      [[maybe_unused]] const ssize_t got = ::read(signalFd_, &info, sizeof info);
      app_.closePort();  // as "Abbrechen": the threads end, nothing more is posted
      progress.finish(false);
      sink_->clear();
      return {RunOutcome::Kind::Interrupted, 0};
    }
  }
}

void TransferSession::trace(bool sent, const uint8_t* payload, std::size_t length) {
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began_).count();
  // One fprintf per frame: stdio locks the stream, so lines never interleave.
  std::string line;
  char text[32];
  std::snprintf(text, sizeof text, "%10.3f %s", seconds, sent ? "->" : "<-");
  line = text;
  for (std::size_t i = 0; i < length; ++i) {
    std::snprintf(text, sizeof text, " %02X", payload[i]);
    line += text;
  }
  std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace trv810::cli
