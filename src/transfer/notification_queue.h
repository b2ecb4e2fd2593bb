#pragma once
// A NotificationSink that keeps what is posted in a queue, for the command line and
// the tests: the transfer thread posts without blocking, the caller waits for the
// next notification.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

#include "transfer/transfer_record.h"

namespace trv810::transfer {

class NotificationQueue : public NotificationSink {
 public:
  /// Appends `notification`; never blocks for longer than the queue's lock.
  void post(const Notification& notification) override;
  /// The oldest notification, waiting at most `timeout` for one to arrive.
  std::optional<Notification> waitFor(std::chrono::milliseconds timeout);
  /// Drops everything queued (late notifications of an earlier transfer).
  void clear();

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Notification> queue_;
};

}  // namespace trv810::transfer
