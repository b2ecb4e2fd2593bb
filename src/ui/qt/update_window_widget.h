#pragma once
// The flash-update window over Qt: its six controls built from the layout table in
// the child window's client area, clicks forwarded to firmware::UpdateWindow, the
// transfer's notifications queued onto the GUI thread and handed to it as well.

#include <memory>

#include "app/application.h"
#include "firmware/update_window.h"
#include "ui/qt/child_window.h"
#include "ui/qt/control_set.h"
#include "ui/qt/qt_control_table.h"
#include "ui/qt/qt_notification_sink.h"
#include "ui/qt/qt_window_host.h"

namespace trv810::ui {

class UpdateWindowContent : public ChildContent {
 public:
  /// Builds the controls inside `window` and runs the logic's creation handling.
  UpdateWindowContent(ChildWindow& window, app::Application& application);

  /// Asks before a running programming is broken off.
  bool mayClose() override { return logic_.onCloseRequest(); }
  void onClose() override { logic_.onClose(); }

  firmware::UpdateWindow& logic() { return logic_; }
  const ControlSet& controls() const { return *set_; }

 private:
  // Declared so that the logic goes first (stopping a transfer that still posts to
  // the sink), the sink last.
  QtNotificationSink sink_;
  std::unique_ptr<ControlSet> set_;
  QtControlTable table_;
  QtWindowHost host_;
  firmware::UpdateWindow logic_;
};

}  // namespace trv810::ui
