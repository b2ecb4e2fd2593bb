#pragma once
// Acting on a modal window from inside its own message loop: a watcher armed before
// the code that opens the window runs `act` on the first modal window of this thread
// that shows (a message box, a common file dialog or a layout dialog), checked every
// 50 ms while the watcher lives. For pictures of the windows and for tests.

#include <functional>
#include <string>

#include "platform/win32.h"

namespace trv810::ui::win32 {

class ModalWatch {
 public:
  explicit ModalWatch(std::function<void(HWND)> act);
  ~ModalWatch();
  ModalWatch(const ModalWatch&) = delete;
  ModalWatch& operator=(const ModalWatch&) = delete;

  /// Whether `act` has run.
  bool done() const { return done_; }

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  std::function<void(HWND)> act_;
  HWND hwnd_ = nullptr;
  bool done_ = false;
};

/// Answers a message box or a common file dialog with `button` (IDOK, IDYES, IDCANCEL).
inline void answer(HWND box, int button) { ::PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0); }

/// The text of a message box.
std::wstring messageBoxText(HWND box);

}  // namespace trv810::ui::win32
