// Stop requests on POSIX: SIGINT, SIGTERM and SIGHUP (a closing terminal, a dropped
// ssh session) are blocked and read from a signalfd, which poll() waits on together
// with the event's descriptor.

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform/console.h"

namespace trv810::platform {

bool isTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) != 0; }

StopRequests::StopRequests() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  native_ = -1;
  if (pthread_sigmask(SIG_BLOCK, &set, nullptr) == 0) native_ = ::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
}

StopRequests::~StopRequests() {
  if (native_ >= 0) ::close(native_);
}

WaitOutcome StopRequests::wait(Event& event, Millis timeout) {
  using Clock = std::chrono::steady_clock;
  const bool forever = timeout.count() < 0;
  const auto deadline = forever ? Clock::time_point::max() : Clock::now() + timeout;
  for (;;) {
    if (event.tryConsume()) return WaitOutcome::First;
    int ms = -1;
    if (!forever) {
      const auto left = std::chrono::ceil<Millis>(deadline - Clock::now()).count();
      if (left <= 0) return WaitOutcome::TimedOut;
      ms = static_cast<int>(left);
    }
    pollfd fds[2] = {{event.native(), POLLIN, 0}, {native_, POLLIN, 0}};
    const int ready = ::poll(fds, native_ >= 0 ? 2 : 1, ms);
    if (ready < 0 && errno != EINTR) return WaitOutcome::TimedOut;
    if (ready > 0 && (fds[1].revents & POLLIN) != 0) {
      signalfd_siginfo info{};
      [[maybe_unused]] const ssize_t got = ::read(native_, &info, sizeof info);
      return WaitOutcome::Second;
    }
  }
}

}  // namespace trv810::platform
