// Events on Windows. The flag is kept under a lock, as on POSIX, so that isSet() can
// look without consuming; a manual-reset Win32 event is kept in step with it, and is
// what the waits (and the serial device's WaitForMultipleObjects) wait on.

#include <cerrno>
#include <system_error>

#include "platform/event.h"
#include "platform/win32.h"

namespace trv810::platform {
namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left until `deadline` for a Win32 wait: INFINITE waits for ever.
DWORD remainingMs(bool forever, Clock::time_point deadline) {
  if (forever) return INFINITE;
  const auto left = std::chrono::ceil<Millis>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<DWORD>(left) : 0;
}

Clock::time_point deadlineOf(Millis timeout) {
  return timeout.count() < 0 ? Clock::time_point::max() : Clock::now() + timeout;
}

}  // namespace

Event::Event(Reset reset, bool initiallySet) : reset_(reset) {
  native_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (native_ == nullptr)
    throw std::system_error(win32::errnoOf(::GetLastError()), std::generic_category(), "CreateEvent");
  if (initiallySet) set();
}

Event::~Event() { ::CloseHandle(native_); }

void Event::set() {
  std::lock_guard lock(mutex_);
  if (set_) return;
  set_ = true;
  ::SetEvent(native_);
}

void Event::drainLocked() {
  set_ = false;
  ::ResetEvent(native_);
}

bool Event::wait(Millis timeout) {
  const bool forever = timeout.count() < 0;
  const auto deadline = deadlineOf(timeout);
  for (;;) {
    if (tryConsume()) return true;
    const DWORD ms = remainingMs(forever, deadline);
    if (ms == 0) return false;
    // Another waiter may take an automatic event first; then wait on.
    if (::WaitForSingleObject(native_, ms) == WAIT_FAILED) return tryConsume();
  }
}

WaitOutcome waitForEither(Event& first, Event& second, Millis timeout) {
  const bool forever = timeout.count() < 0;
  const auto deadline = deadlineOf(timeout);
  for (;;) {
    if (first.tryConsume()) return WaitOutcome::First;
    if (second.tryConsume()) return WaitOutcome::Second;
    const DWORD ms = remainingMs(forever, deadline);
    if (ms == 0) return WaitOutcome::TimedOut;
    HANDLE both[2] = {first.native(), second.native()};
    if (::WaitForMultipleObjects(2, both, FALSE, ms) == WAIT_FAILED) return WaitOutcome::TimedOut;
  }
}

WaitOutcome waitForEventOrStop(const Event& watched, const Event& stop, Millis timeout) {
  const bool forever = timeout.count() < 0;
  const auto deadline = deadlineOf(timeout);
  for (;;) {
    if (stop.isSet()) return WaitOutcome::Second;
    if (watched.isSet()) return WaitOutcome::First;
    const DWORD ms = remainingMs(forever, deadline);
    if (ms == 0) return WaitOutcome::TimedOut;
    HANDLE both[2] = {stop.native(), watched.native()};
    if (::WaitForMultipleObjects(2, both, FALSE, ms) == WAIT_FAILED) return WaitOutcome::TimedOut;
  }
}

}  // namespace trv810::platform
