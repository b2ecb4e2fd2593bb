#pragma once
// Plays the window's message loop in tests: hands the transfer's queued notifications
// to a window until a result has ended its transfer.

#include <chrono>

#include "transfer/notification_queue.h"

namespace trv810::tests {

/// Pumps `sink` into `window` while window.transferRunning(); false when `limit` passes first.
template <class Window>
bool pumpUntilIdle(Window& window, transfer::NotificationQueue& sink,
                   std::chrono::milliseconds limit = std::chrono::seconds(30)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (window.transferRunning()) {
    if (std::chrono::steady_clock::now() > end) return false;
    if (auto n = sink.waitFor(std::chrono::milliseconds(100))) window.onNotification(*n);
  }
  return true;
}

}  // namespace trv810::tests
