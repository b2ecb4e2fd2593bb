#pragma once
// The configuration window over Qt: the controls of ConfigWindow::layout built in the
// child window's client area, the user's input forwarded to the window's logic, and
// the host that logic talks to (message boxes owned by the window, title, progress
// bar, file dialogs, wait cursor, scroll thumb, focus, ticks, the signal-sequence
// dialog).
// The transfer thread's notifications reach the logic through a queued sink, so they
// run on the GUI thread; those still queued when the window goes are dropped.
//
// The ConfigImage and the staging buffer are the application's; the form over them
// (with the texts of the rows that are off screen) is this window's and starts
// cleared with every new window.

#include <memory>

#include "app/application.h"
#include "config/config_window.h"
#include "config/config_window_host.h"
#include "ui/qt/child_window.h"
#include "ui/qt/control_set.h"
#include "ui/qt/qt_control_table.h"
#include "ui/qt/qt_notification_sink.h"
#include "ui/qt/qt_window_host.h"

class QObject;

namespace trv810::ui {

class ConfigurationWindow : public ChildContent, private config::ConfigWindowHost {
 public:
  /// Builds the window's controls in `window`'s client area, laid out for the shell's
  /// cell and client size, and runs the logic's creation.
  ConfigurationWindow(ChildWindow& window, app::Application& application);
  ~ConfigurationWindow() override;

  /// Asks before unsaved edits are thrown away.
  bool mayClose() override;
  /// Closing: a running transfer stops without a message.
  void onClose() override;

  config::ConfigWindow& logic() { return logic_; }
  const ControlSet& controls() const { return *set_; }
  /// Where the transfer thread posts; handed back to the logic on the GUI thread.
  transfer::NotificationSink& sink() { return sink_; }

 private:
  std::unique_ptr<ControlSet> buildControls(const app::ShellState& shell);
  ControlInput input();
  void watchPresses();

  // config::ConfigWindowHost
  platform::Answer messageBox(std::string_view text, std::string_view caption, platform::Icon icon,
                              platform::Buttons buttons, platform::Answer defaultAnswer) override;
  void setTitle(std::string_view title) override;
  void setProgressRange(int minimum, int maximum) override;
  void setProgressPosition(int position) override;
  std::optional<std::string> chooseOpenFile(const platform::FileDialogRequest& request) override;
  std::optional<std::string> chooseSaveFile(const platform::FileDialogRequest& request) override;
  void setWaitCursor(bool wait) override;
  void requestClose() override;
  void setFocus(int id, bool selectText) override { host_.setFocus(id, selectText); }
  int focus() const override { return host_.focus(); }
  void setTicking(bool on) override { host_.setTicking(on); }
  void setScrollPosition(int id, int position) override;
  int runSignalBox(config::SignalBox& box, int ownerId) override;

  ChildWindow& window_;
  const platform::CellSize dialogBase_;  // dialog units of the controls' font
  std::unique_ptr<ControlSet> set_;
  QtControlTable table_;
  QtWindowHost host_;
  QtNotificationSink sink_;  // outlives the logic, which stops the transfer thread
  config::ConfigWindow logic_;
};

}  // namespace trv810::ui
