#pragma once
// Events that threads wait on, with manual or automatic reset, as the serial link and
// the transfers use them. Each event also has a native waitable object that is
// signalled exactly while the event is set: on POSIX a descriptor that is readable
// (so a thread can wait on a device and an event together with one poll()), on
// Windows an event handle for WaitForMultipleObjects.

#include <chrono>
#include <mutex>

namespace trv810::platform {

using Millis = std::chrono::milliseconds;

#ifdef _WIN32
using NativeWaitable = void*;  ///< a manual-reset event HANDLE
#else
using NativeWaitable = int;    ///< a descriptor
#endif

/// A wait without a time limit.
inline constexpr Millis kForever{-1};

class Event {
 public:
  enum class Reset { Manual, Automatic };

  explicit Event(Reset reset, bool initiallySet = false);
  ~Event();
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  /// Sets the event; waiters wake. Setting a set event changes nothing.
  void set();
  /// Clears the event.
  void reset();
  /// Whether the event is set, without consuming it.
  bool isSet() const;
  /// Takes the signal if the event is set: an automatic event is cleared by it.
  bool tryConsume();
  /// Waits until the event is set, at most `timeout` (kForever: no limit). True when
  /// it was set; an automatic event is then cleared again.
  bool wait(Millis timeout);
  /// Signalled (readable) while the event is set. Owned by the event.
  NativeWaitable native() const { return native_; }
  Reset resetMode() const { return reset_; }

 private:
  void drainLocked();

  const Reset reset_;
  mutable std::mutex mutex_;
  bool set_ = false;
  NativeWaitable native_{};
};

enum class WaitOutcome { First, Second, TimedOut };

/// Waits until either event is set, at most `timeout`. When both are set the first
/// one wins. The winning event is consumed as its wait() would consume it.
WaitOutcome waitForEither(Event& first, Event& second, Millis timeout);

/// Waits until `watched` or `stop` is set, at most `timeout`, consuming neither; when
/// both are set `stop` wins (Second). For stand-ins of devices that signal with an event.
WaitOutcome waitForEventOrStop(const Event& watched, const Event& stop, Millis timeout);

#ifndef _WIN32
/// Waits until `fd` is readable (or has hung up or failed) or `event` is set, at most
/// `timeout`. The event is not consumed. Returns First for the descriptor, Second for
/// the event, TimedOut otherwise.
WaitOutcome waitForDescriptorOrEvent(int fd, short pollEvents, const Event& event, Millis timeout);
#endif

}  // namespace trv810::platform
