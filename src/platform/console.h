#pragma once
// The console a command-line program runs in: whether an output stream is a terminal
// that takes control sequences, and stop requests (Ctrl-C, a request to end) that a
// waiting program takes as a stop instead of being ended by them.

#include <cstdio>

#include "platform/event.h"

namespace trv810::platform {

/// Whether `stream` is an interactive terminal that understands "\r" and the
/// erase-to-end-of-line sequence (on Windows: a console with virtual terminal
/// processing on).
bool isTerminal(std::FILE* stream);

class StopRequests {
 public:
  /// From now on Ctrl-C and requests to end wait for wait() instead of ending the
  /// program, for good (a file being saved is finished first). On POSIX this blocks
  /// SIGINT, SIGTERM and SIGHUP, so create it before any thread starts: threads inherit it.
  StopRequests();
  ~StopRequests();
  StopRequests(const StopRequests&) = delete;
  StopRequests& operator=(const StopRequests&) = delete;

  /// Waits until `event` is set (First; consumed as its wait() would) or a stop was
  /// requested (Second; the request is taken), at most `timeout` (kForever: no limit).
  WaitOutcome wait(Event& event, Millis timeout);

 private:
  NativeWaitable native_{};  // readable / signalled while a request waits
};

}  // namespace trv810::platform
