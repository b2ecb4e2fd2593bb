#pragma once
// The child windows the menu opens, each a ChildWindow with a WindowContent: the
// controls of its layout built in the child window's client area, their input sent to
// the window's logic, and the host that logic talks to. Which logic and which layout
// a kind of window has is the application's affair (app/child_windows.h); this face
// builds every kind alike. The transfer thread's notifications reach the logic
// through a queued sink, so they run on the GUI thread; those still queued when the
// window goes are dropped.

#include <memory>

#include "app/application.h"
#include "app/child_windows.h"
#include "ui/qt/child_window.h"
#include "ui/qt/control_set.h"
#include "ui/qt/qt_control_table.h"
#include "ui/qt/qt_notification_sink.h"
#include "ui/qt/qt_window_host.h"

namespace trv810::ui {

class WindowContent : public ChildContent {
 public:
  /// Builds the controls of the child window of `kind` in `window`'s client area, laid
  /// out for the shell's cell and client size, and runs the logic's creation.
  WindowContent(ChildWindow& window, app::ChildKind kind, app::Application& application);
  ~WindowContent() override;

  /// Asks before work is lost.
  bool mayClose() override { return logic_->onCloseRequest(); }
  /// Closing: a running transfer stops without a message.
  void onClose() override { logic_->onClose(); }

  app::ChildLogic& logic() { return *logic_; }
  /// The window logic of type Window, or null when this window has another.
  template <class Window>
  Window* logicAs() {
    return app::childWindow<Window>(logic_.get());
  }
  const ControlSet& controls() const { return *set_; }
  window::ControlTable& table() { return table_; }
  /// Where the transfer thread posts; handed back to the logic on the GUI thread.
  transfer::NotificationSink& sink() { return sink_; }

 private:
  const window::WindowSpec layout_;
  QtNotificationSink sink_;
  std::unique_ptr<ControlSet> set_;
  QtControlTable table_;
  QtWindowHost host_;
  std::unique_ptr<app::ChildLogic> logic_;
};

/// Creates and shows the child window of `kind` inside `client`, the main window's
/// client area; null when it could not be created.
ChildWindow* createChildWindow(app::ChildKind kind, QWidget* client, app::Application& application);

}  // namespace trv810::ui
