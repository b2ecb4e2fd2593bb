#include "platform/event.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <system_error>

namespace trv810::platform {
namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left until `deadline` for poll(): -1 waits for ever.
int remainingMs(bool forever, Clock::time_point deadline) {
  if (forever) return -1;
  auto left = std::chrono::ceil<Millis>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

Clock::time_point deadlineOf(Millis timeout) {
  return timeout.count() < 0 ? Clock::time_point::max() : Clock::now() + timeout;
}

}  // namespace

Event::Event(Reset reset, bool initiallySet) : reset_(reset) {
  native_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (native_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
  if (initiallySet) set();
}

Event::~Event() { ::close(native_); }

void Event::set() {
  std::lock_guard lock(mutex_);
  if (set_) return;
  set_ = true;
  const uint64_t one = 1;
  // The counter cannot overflow: it holds at most 1 while the flag is kept in step.
  [[maybe_unused]] auto written = ::write(native_, &one, sizeof one);
}

void Event::drainLocked() {
  set_ = false;
  uint64_t value = 0;
  [[maybe_unused]] auto got = ::read(native_, &value, sizeof value);
}

bool Event::wait(Millis timeout) {
  const bool forever = timeout.count() < 0;
  const auto deadline = deadlineOf(timeout);
  for (;;) {
    if (tryConsume()) return true;
    const int ms = remainingMs(forever, deadline);
    if (ms == 0) return false;
    pollfd p{native_, POLLIN, 0};
    if (::poll(&p, 1, ms) < 0 && errno != EINTR) return tryConsume();
  }
}

WaitOutcome waitForEither(Event& first, Event& second, Millis timeout) {
  const bool forever = timeout.count() < 0;
  const auto deadline = deadlineOf(timeout);
  for (;;) {
    if (first.tryConsume()) return WaitOutcome::First;
    if (second.tryConsume()) return WaitOutcome::Second;
    const int ms = remainingMs(forever, deadline);
    if (ms == 0) return WaitOutcome::TimedOut;
    pollfd p[2] = {{first.native(), POLLIN, 0}, {second.native(), POLLIN, 0}};
    if (::poll(p, 2, ms) < 0 && errno != EINTR) return WaitOutcome::TimedOut;
  }
}

WaitOutcome waitForDescriptorOrEvent(int fd, short pollEvents, const Event& event, Millis timeout) {
  const bool forever = timeout.count() < 0;
  const auto deadline = deadlineOf(timeout);
  for (;;) {
    if (event.isSet()) return WaitOutcome::Second;
    pollfd p[2] = {{fd, pollEvents, 0}, {event.native(), POLLIN, 0}};
    const int ms = remainingMs(forever, deadline);
    const int n = ::poll(p, 2, ms);
    if (n < 0) {
      if (errno == EINTR) continue;
      return WaitOutcome::TimedOut;
    }
    if (p[1].revents != 0 && event.isSet()) return WaitOutcome::Second;
    if (p[0].revents != 0) return WaitOutcome::First;
    if (n == 0 && remainingMs(forever, deadline) == 0) return WaitOutcome::TimedOut;
  }
}

WaitOutcome waitForEventOrStop(const Event& watched, const Event& stop, Millis timeout) {
  const bool forever = timeout.count() < 0;
  const auto deadline = deadlineOf(timeout);
  for (;;) {
    if (stop.isSet()) return WaitOutcome::Second;
    if (watched.isSet()) return WaitOutcome::First;
    const int ms = remainingMs(forever, deadline);
    if (ms == 0) return WaitOutcome::TimedOut;
    pollfd p[2] = {{stop.native(), POLLIN, 0}, {watched.native(), POLLIN, 0}};
    if (::poll(p, 2, ms) < 0 && errno != EINTR) return WaitOutcome::TimedOut;
  }
}

}  // namespace trv810::platform
