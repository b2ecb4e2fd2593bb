#pragma once
// The child windows the menu opens, as every desktop face builds them: the title each
// starts with, its frame in the main window's client area, the layout of its
// controls, and its logic behind one interface. The switch over the kinds of child
// window is here, once; a face builds any child window from these alone.

#include <memory>
#include <string>
#include <string_view>

#include "app/application.h"
#include "app/shell_state.h"
#include "transfer/transfer.h"
#include "window/control_input.h"
#include "window/controls.h"
#include "window/layout.h"
#include "window/window_host.h"

namespace trv810::app {

struct ChildFrame {
  std::string_view title;  ///< UTF-8
  window::Rect frame;      ///< outer frame, relative to the main window's client area
};

/// The kind of child window that opens the file at `path`, by the ending of its name in
/// any case: ".kfg" the configuration window, ".hex" and ".bin" the flash-update
/// window; None for every other name.
ChildKind childKindForFile(std::string_view path);

/// Title and frame of the child window of `kind` (not None) for the shell's cell and
/// client size: the configuration window fills the client area, the flash-update
/// window takes the frame of its layout.
ChildFrame childFrame(ChildKind kind, const ShellState& shell);

/// The controls of the child window of `kind` (not None), laid out for the shell's
/// cell and client size.
window::WindowSpec childLayout(ChildKind kind, const ShellState& shell);

/// A child window's logic as a face drives it.
class ChildLogic {
 public:
  virtual ~ChildLogic() = default;
  /// Where the face sends the user's input on the controls.
  virtual window::ControlInput input() = 0;
  /// After the controls exist.
  virtual void onCreate() = 0;
  /// The user asks to close the window: true when it may close (it may ask first).
  virtual bool onCloseRequest() = 0;
  /// The window closes: a running transfer stops without a message.
  virtual void onClose() = 0;
  /// A notification of the transfer, on the window's thread.
  virtual void onNotification(const transfer::Notification& notification) = 0;
  /// The host's tick while the window asked for ticks.
  virtual void onTick() = 0;
  /// Loads the file at `path` as the window's own file command does once the user has
  /// chosen it, with the same questions and messages; nothing while a transfer runs.
  virtual void openFile(const std::string& path) = 0;
};

/// The logic of one kind of window behind ChildLogic; window() for tests and pictures.
template <class Window>
class ChildOf : public ChildLogic {
 public:
  template <class... Args>
  explicit ChildOf(Args&&... args) : window_(std::forward<Args>(args)...) {}

  window::ControlInput input() override { return window_.input(); }
  void onCreate() override { window_.onCreate(); }
  bool onCloseRequest() override { return window_.onCloseRequest(); }
  void onClose() override { window_.onClose(); }
  void onNotification(const transfer::Notification& notification) override { window_.onNotification(notification); }
  void onTick() override { window_.onTick(); }
  void openFile(const std::string& path) override { window_.openFile(path); }

  Window& window() { return window_; }

 private:
  Window window_;
};

/// The logic of the child window of `kind` (not None) over `controls`, built from
/// `layout` (childLayout()), talking to `host` and posting the transfer's
/// notifications to `sink`; all of them must outlive it.
std::unique_ptr<ChildLogic> makeChildLogic(ChildKind kind, Application& application, const window::WindowSpec& layout,
                                           window::ControlTable& controls, window::WindowHost& host,
                                           transfer::NotificationSink& sink);

/// The window logic of type Window behind `logic`, or null.
template <class Window>
Window* childWindow(ChildLogic* logic) {
  auto* child = dynamic_cast<ChildOf<Window>*>(logic);
  return child ? &child->window() : nullptr;
}

}  // namespace trv810::app
