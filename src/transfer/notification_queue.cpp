#include "transfer/notification_queue.h"

namespace trv810::transfer {

void NotificationQueue::post(const Notification& notification) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(notification);
  }
  ready_.notify_one();
}

std::optional<Notification> NotificationQueue::waitFor(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  if (!ready_.wait_for(lock, timeout, [this] { return !queue_.empty(); })) return std::nullopt;
  Notification n = queue_.front();
  queue_.pop_front();
  return n;
}

void NotificationQueue::clear() {
  std::lock_guard lock(mutex_);
  queue_.clear();
}

}  // namespace trv810::transfer
