#include "ui/win32/modal_watch.h"

#include <string_view>

#include "ui/win32/layout_dialog.h"
#include "ui/win32/text.h"

namespace trv810::ui::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TRV810ModalWatch";
constexpr UINT_PTR kTimer = 1;

BOOL CALLBACK findModal(HWND hwnd, LPARAM found) {
  wchar_t name[32] = {};
  ::GetClassNameW(hwnd, name, 32);
  if (::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd) &&
      (std::wstring_view(name) == L"#32770" || std::wstring_view(name) == LayoutDialog::kClassName)) {
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

ModalWatch::ModalWatch(std::function<void(HWND)> act) : act_(std::move(act)) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &ModalWatch::windowProc;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  ::RegisterClassW(&windowClass);  // fails harmlessly once it exists
  hwnd_ = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
  ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetTimer(hwnd_, kTimer, 50, nullptr);
}

ModalWatch::~ModalWatch() { ::DestroyWindow(hwnd_); }

LRESULT CALLBACK ModalWatch::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<ModalWatch*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message != WM_TIMER || !self || self->done_) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  HWND found = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), &findModal, reinterpret_cast<LPARAM>(&found));
  if (found) {
    self->done_ = true;
    ::KillTimer(hwnd, kTimer);
    self->act_(found);
  }
  return 0;
}

std::wstring messageBoxText(HWND box) {
  // The message is the box's static with id 0xFFFF.
  HWND text = ::GetDlgItem(box, 0xFFFF);
  return text ? windowText(text) : std::wstring();
}

}  // namespace trv810::ui::win32
