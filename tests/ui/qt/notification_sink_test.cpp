#include "ui/qt/qt_notification_sink.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QThread>
#include <thread>

namespace trv810::ui {
namespace {

transfer::Notification progress(uint32_t blocks) {
  transfer::Notification n;
  n.message = transfer::WM_TRANSFER_PROGRESS;
  n.wParam = blocks;
  return n;
}

TEST(QtNotificationSink, DeliversOnTheGuiThreadInOrder) {
  std::vector<uint32_t> seen;
  bool onGuiThread = true;
  QtNotificationSink sink([&](const transfer::Notification& n) {
    onGuiThread = onGuiThread && QThread::currentThread() == QApplication::instance()->thread();
    seen.push_back(n.wParam);
  });
  std::thread worker([&] {
    for (uint32_t i = 1; i <= 50; ++i) sink.post(progress(i));
  });
  worker.join();
  EXPECT_TRUE(seen.empty());  // nothing runs on the worker
  QApplication::processEvents();
  ASSERT_EQ(seen.size(), 50u);
  for (uint32_t i = 0; i < 50; ++i) EXPECT_EQ(seen[i], i + 1);
  EXPECT_TRUE(onGuiThread);
}

TEST(QtNotificationSink, DropsWhatIsQueuedWhenItGoes) {
  int delivered = 0;
  {
    QtNotificationSink sink([&](const transfer::Notification&) { ++delivered; });
    std::thread([&] { sink.post(progress(1)); }).join();
  }
  QApplication::processEvents();
  EXPECT_EQ(delivered, 0);
}

}  // namespace
}  // namespace trv810::ui
