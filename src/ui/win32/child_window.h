#pragma once
// A child window inside the main window's client area, with the caption bar and
// close box Windows draws for it. What it shows comes from a content object, the
// binding of one window's logic; the child window owns it.
//
// Closing (the close box, Ctrl+F4, or the content's posted close request) asks the
// content whether it may close, then runs its close handling, tells the shell and
// destroys the window.

#include <functional>
#include <memory>

#include "app/application.h"
#include "app/child_windows.h"
#include "platform/win32.h"
#include "ui/win32/control_set.h"
#include "ui/win32/notification_sink.h"
#include "ui/win32/window_host.h"

namespace trv810::ui::win32 {

/// The binding of one window's logic to its child window.
class ChildContent {
 public:
  virtual ~ChildContent() = default;
  /// Whether the window may close now; it may ask the user first.
  virtual bool mayClose() { return true; }
  /// The window's own close handling, run before the window goes.
  virtual void onClose() {}
  /// A message of the child window; true when handled (with `result`).
  virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
  /// Whether the window shows the wait cursor.
  virtual bool waiting() const = 0;
};

class ChildWindow {
 public:
  /// Creates and shows the child window of `kind` inside `client`; null when it could
  /// not be created. It deletes itself when its window is destroyed; `closed` runs
  /// once it has closed.
  static ChildWindow* create(app::ChildKind kind, HWND client, app::Application& application, const Fonts& fonts,
                             std::function<void()> closed);

  HWND window() const { return hwnd_; }
  ChildContent* content() const { return content_.get(); }

  /// Asks the content, then runs the close handling and destroys the window; once
  /// only. True when the window has closed (or is closing already).
  bool closeWindow();

  static constexpr wchar_t kClassName[] = L"TRV810Child";

 private:
  ChildWindow() = default;
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  std::unique_ptr<ChildContent> content_;
  std::function<void()> closed_;
  bool closing_ = false;
};

/// A child window's content: the controls of its layout in the child window's client
/// area, their input sent to the window's logic, the host that logic talks to, and the
/// transfer's notifications handed to it on the GUI thread. Which logic and which
/// layout a kind of window has is the application's affair (app/child_windows.h);
/// this face builds every kind alike.
class WindowContent : public ChildContent {
 public:
  WindowContent(HWND window, app::ChildKind kind, app::Application& application, const Fonts& fonts);
  ~WindowContent() override;

  bool mayClose() override { return logic_->onCloseRequest(); }
  void onClose() override { logic_->onClose(); }
  bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  bool waiting() const override { return host_.waiting(); }

  app::ChildLogic& logic() { return *logic_; }
  /// The window logic of type Window, or null when this window has another.
  template <class Window>
  Window* logicAs() {
    return app::childWindow<Window>(logic_.get());
  }
  ControlSet& controls() { return *set_; }
  window::ControlTable& table() { return table_; }
  transfer::NotificationSink& sink() { return sink_; }

 private:
  const window::WindowSpec layout_;
  HFONT font_;
  Win32NotificationSink sink_;  // outlives the logic, which stops the transfer thread
  std::unique_ptr<ControlSet> set_;
  Win32ControlTable table_;
  Win32WindowHost host_;
  std::unique_ptr<app::ChildLogic> logic_;
};

}  // namespace trv810::ui::win32
