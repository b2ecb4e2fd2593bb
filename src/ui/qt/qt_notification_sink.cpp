#include "ui/qt/qt_notification_sink.h"

#include <QMetaObject>

namespace trv810::ui {

QtNotificationSink::QtNotificationSink(std::function<void(const transfer::Notification&)> handler)
    : handler_(std::move(handler)) {}

void QtNotificationSink::post(const transfer::Notification& notification) {
  QMetaObject::invokeMethod(
      &context_, [this, notification] { handler_(notification); }, Qt::QueuedConnection);
}

}  // namespace trv810::ui
