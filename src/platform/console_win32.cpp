// Stop requests on Windows: a console control handler turns Ctrl-C and Ctrl-Break
// into an event that the wait takes together with the caller's event.

#include <io.h>

#include <atomic>
#include <chrono>

#include "platform/console.h"
#include "platform/win32.h"

namespace trv810::platform {
namespace {

// The handler gets no context, so the event it sets is the process's one.
std::atomic<HANDLE> requested{nullptr};

BOOL WINAPI onConsoleControl(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  if (HANDLE event = requested.load()) ::SetEvent(event);
  return TRUE;  // handled: the program goes on and stops its transfer
}

}  // namespace

bool isTerminal(std::FILE* stream) {
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) &&
         (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

StopRequests::StopRequests() {
  HANDLE none = nullptr;
  HANDLE event = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!requested.compare_exchange_strong(none, event)) {
    ::CloseHandle(event);
    event = none;
  }
  native_ = event;
  ::SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

// The handler stays: requests that come after the wait are held, as on POSIX.
StopRequests::~StopRequests() = default;

WaitOutcome StopRequests::wait(Event& event, Millis timeout) {
  using Clock = std::chrono::steady_clock;
  const bool forever = timeout.count() < 0;
  const auto deadline = forever ? Clock::time_point::max() : Clock::now() + timeout;
  for (;;) {
    if (event.tryConsume()) return WaitOutcome::First;
    DWORD ms = INFINITE;
    if (!forever) {
      const auto left = std::chrono::ceil<Millis>(deadline - Clock::now()).count();
      if (left <= 0) return WaitOutcome::TimedOut;
      ms = static_cast<DWORD>(left);
    }
    HANDLE both[2] = {event.native(), native_};
    const DWORD woke = ::WaitForMultipleObjects(native_ != nullptr ? 2 : 1, both, FALSE, ms);
    if (woke == WAIT_OBJECT_0 + 1) return WaitOutcome::Second;  // automatic: taken
    if (woke == WAIT_FAILED) return WaitOutcome::TimedOut;
  }
}

}  // namespace trv810::platform
