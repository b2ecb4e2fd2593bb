#pragma once
// Notifications from a transfer thread to a window: post() may be called on any
// thread and never blocks; the handler runs later on the GUI thread, in the order of
// posting. Notifications still queued when the sink is destroyed are dropped. The
// sink must outlive the transfer thread that posts to it (closePort() joins it).

#include <functional>

#include <QObject>

#include "transfer/transfer_record.h"

namespace trv810::ui {

class QtNotificationSink : public transfer::NotificationSink {
 public:
  /// Created on the GUI thread; `handler` runs there.
  explicit QtNotificationSink(std::function<void(const transfer::Notification&)> handler);

  void post(const transfer::Notification& notification) override;

 private:
  std::function<void(const transfer::Notification&)> handler_;
  QObject context_;  // lives on the GUI thread; its queued calls die with it
};

}  // namespace trv810::ui
