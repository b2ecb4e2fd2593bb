#pragma once
// Notifications from a transfer thread to a window over Win32: post() may be called
// on any thread and never blocks for long; it queues the notification and posts a
// message to a hidden window of the GUI thread, whose handling hands the queue to the
// handler there, in the order of posting. Notifications still queued when the sink
// is destroyed are dropped with its hidden window. The sink must outlive the transfer
// thread that posts to it (closePort() joins it).

#include <deque>
#include <functional>
#include <mutex>

#include "platform/win32.h"
#include "transfer/transfer_record.h"

namespace trv810::ui::win32 {

class Win32NotificationSink : public transfer::NotificationSink {
 public:
  /// Created on the GUI thread; `handler` runs there.
  explicit Win32NotificationSink(std::function<void(const transfer::Notification&)> handler);
  ~Win32NotificationSink() override;
  Win32NotificationSink(const Win32NotificationSink&) = delete;
  Win32NotificationSink& operator=(const Win32NotificationSink&) = delete;

  void post(const transfer::Notification& notification) override;

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void deliver();

  std::function<void(const transfer::Notification&)> handler_;
  HWND window_ = nullptr;
  std::mutex mutex_;
  std::deque<transfer::Notification> queue_;  // guarded by mutex_
};

}  // namespace trv810::ui::win32
