#pragma once
// A window's host over Win32: message boxes owned by the window with the exact text,
// caption, icon and default button; modal dialogs built from their layout, each run
// by the one runner of this face; the title; the progress bar; the common open and
// save dialogs with the filters the logic gives; the wait cursor; the focus among the
// window's controls; a timer for the logic's ticks (WM_TIMER kTickTimer to `owner`,
// whose window procedure hands it to the logic); and a close request that is posted,
// so the window closes after the handler that asked for it has returned.

#include <functional>
#include <memory>

#include "platform/win32.h"
#include "window/layout.h"
#include "window/window_host.h"

namespace trv810::ui::win32 {

class ControlSet;
class LayoutDialog;

/// The fonts of the desktop face: dialogs show their controls in `dialog`, whose
/// dialog units are `dialogBase`.
struct Fonts {
  HFONT dialog = nullptr;
  window::CellSize dialogBase;
};

class Win32WindowHost : public window::WindowHost {
 public:
  /// The timer id of the ticks.
  static constexpr UINT_PTR kTickTimer = 0x7E01;

  /// Boxes and dialogs are owned by `owner`, whose title this sets, dialogs placed
  /// relative to its client area and shown in `fonts`; `progress` may be null; the
  /// focus goes among `controls` (none: the window has no controls).
  Win32WindowHost(HWND owner, const Fonts& fonts, HWND progress, const ControlSet* controls = nullptr)
      : owner_(owner), fonts_(fonts), progress_(progress), controls_(controls) {}
  ~Win32WindowHost() override { setWaitCursor(false); }

  window::Answer messageBox(std::string_view text, std::string_view caption, window::Icon icon,
                              window::Buttons buttons = window::Buttons::Ok,
                              window::Answer defaultAnswer = window::Answer::Yes) override;
  int runDialog(window::Dialog& dialog, int ownerId) override;
  void setTitle(std::string_view title) override;
  void setProgressRange(int minimum, int maximum) override;
  void setProgressPosition(int position) override;
  std::optional<std::string> chooseOpenFile(const window::FileDialogRequest& request) override;
  std::optional<std::string> chooseSaveFile(const window::FileDialogRequest& request) override;
  void setWaitCursor(bool wait) override;
  void requestClose() override;
  void setFocus(int id, bool selectText) override;
  int focus() const override;
  void setTicking(bool on) override;

  /// The dialog of `dialog`, owned by control `ownerId` (-1: the window), built and
  /// started but not shown: its input goes to `dialog`.
  std::unique_ptr<LayoutDialog> buildDialog(window::Dialog& dialog, int ownerId);

  /// Whether the wait cursor is on (the window shows it wherever the pointer is).
  bool waiting() const { return waiting_; }

  /// The filter list of the common file dialogs for `request`: pairs of name and
  /// patterns ("a;b"), each ended by a zero, the list by a second zero.
  static std::wstring filterList(const window::FileDialogRequest& request);

 private:
  std::optional<std::string> chooseFile(const window::FileDialogRequest& request, bool save);

  HWND owner_;
  const Fonts& fonts_;
  HWND progress_;
  const ControlSet* controls_;
  bool waiting_ = false;
};

}  // namespace trv810::ui::win32
