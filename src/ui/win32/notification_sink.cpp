#include "ui/win32/notification_sink.h"

namespace trv810::ui::win32 {

namespace {
constexpr wchar_t kClassName[] = L"TRV810Notifications";
constexpr UINT kDeliver = WM_APP + 1;

void registerClass(HINSTANCE instance) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  ::RegisterClassW(&windowClass);  // fails harmlessly once it exists
}
}  // namespace

Win32NotificationSink::Win32NotificationSink(std::function<void(const transfer::Notification&)> handler)
    : handler_(std::move(handler)) {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  registerClass(instance);
  window_ = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32NotificationSink::windowProc));
}

Win32NotificationSink::~Win32NotificationSink() {
  // Messages already posted go with the window; nothing reaches the handler any more.
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  ::DestroyWindow(window_);
}

void Win32NotificationSink::post(const transfer::Notification& notification) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(notification);
  }
  ::PostMessageW(window_, kDeliver, 0, 0);
}

void Win32NotificationSink::deliver() {
  // One message may carry several notifications (a post whose message was lost, or
  // came late): each handling takes all that are queued, in order.
  for (;;) {
    transfer::Notification next;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty()) return;
      next = queue_.front();
      queue_.pop_front();
    }
    handler_(next);
  }
}

LRESULT CALLBACK Win32NotificationSink::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kDeliver) {
    if (auto* self = reinterpret_cast<Win32NotificationSink*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA))) self->deliver();
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace trv810::ui::win32
