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
#include "config/config_window.h"
#include "config/config_window_host.h"
#include "firmware/update_window.h"
#include "platform/win32.h"
#include "ui/win32/control_set.h"
#include "ui/win32/notification_sink.h"
#include "ui/win32/window_host.h"

namespace trv810::ui::win32 {

/// The fonts of the desktop face: dialogs show their controls in `dialog`, whose
/// dialog units are `dialogBase`.
struct Fonts {
  HFONT dialog = nullptr;
  platform::CellSize dialogBase;
};

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

/// The configuration window: the controls of ConfigWindow::layout in the child
/// window's client area, input forwarded to the logic, the host it talks to.
class ConfigurationContent : public ChildContent, private config::ConfigWindowHost {
 public:
  ConfigurationContent(HWND window, app::Application& application, const Fonts& fonts);
  ~ConfigurationContent() override;

  bool mayClose() override { return logic_.onCloseRequest(); }
  void onClose() override { logic_.onClose(); }
  bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  bool waiting() const override { return host_.waiting(); }

  config::ConfigWindow& logic() { return logic_; }
  ControlSet& controls() { return *set_; }
  transfer::NotificationSink& sink() { return sink_; }

 private:
  ControlInput input();
  bool onWheel(int id, int delta);

  platform::Answer messageBox(std::string_view text, std::string_view caption, platform::Icon icon,
                              platform::Buttons buttons, platform::Answer defaultAnswer) override {
    return host_.messageBox(text, caption, icon, buttons, defaultAnswer);
  }
  void setTitle(std::string_view title) override { host_.setTitle(title); }
  void setProgressRange(int minimum, int maximum) override { host_.setProgressRange(minimum, maximum); }
  void setProgressPosition(int position) override { host_.setProgressPosition(position); }
  std::optional<std::string> chooseOpenFile(const platform::FileDialogRequest& request) override {
    return host_.chooseOpenFile(request);
  }
  std::optional<std::string> chooseSaveFile(const platform::FileDialogRequest& request) override {
    return host_.chooseSaveFile(request);
  }
  void setWaitCursor(bool wait) override { host_.setWaitCursor(wait); }
  void requestClose() override { host_.requestClose(); }
  void setFocus(int id, bool selectText) override { host_.setFocus(id, selectText); }
  int focus() const override { return host_.focus(); }
  void setTicking(bool on) override { host_.setTicking(on); }
  void setScrollPosition(int id, int position) override { table_.setSelection(id, position); }
  int runSignalBox(config::SignalBox& box, int ownerId) override;

  HWND window_;
  const Fonts& fonts_;
  platform::Rect tableArea_;  // the group box of the rows: the wheel there scrolls them
  int wheelPending_ = 0;
  const platform::WindowSpec layout_;
  HFONT font_;
  std::unique_ptr<ControlSet> set_;
  Win32ControlTable table_;
  Win32WindowHost host_;
  Win32NotificationSink sink_;  // outlives the logic, which stops the transfer thread
  config::ConfigWindow logic_;
};

/// The flash-update window: its six controls, clicks forwarded to the logic, the
/// transfer's notifications handed to it on the GUI thread.
class UpdateContent : public ChildContent {
 public:
  UpdateContent(HWND window, app::Application& application);
  ~UpdateContent() override;

  bool mayClose() override { return logic_.onCloseRequest(); }
  void onClose() override { logic_.onClose(); }
  bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  bool waiting() const override { return host_.waiting(); }

  firmware::UpdateWindow& logic() { return logic_; }
  ControlSet& controls() { return *set_; }

 private:
  const platform::WindowSpec layout_;
  HFONT font_;
  Win32NotificationSink sink_;
  std::unique_ptr<ControlSet> set_;
  Win32ControlTable table_;
  Win32WindowHost host_;
  firmware::UpdateWindow logic_;
};

}  // namespace trv810::ui::win32
