#include "ui/win32/main_window.h"

#include <vector>

#include "app/menu.h"
#include "app/texts.h"
#include "ui/win32/cell_metrics.h"
#include "ui/win32/text.h"

namespace trv810::ui::win32 {

namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kIconResource = 1;

HFONT messageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

bool isRadio(HWND hwnd) {
  wchar_t name[16] = {};
  if (!::GetClassNameW(hwnd, name, 16) || ::lstrcmpiW(name, L"BUTTON") != 0) return false;
  const LONG_PTR type = ::GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool droppedList(HWND hwnd) {
  for (HWND w = hwnd; w; w = ::GetParent(w)) {
    wchar_t name[16] = {};
    if (::GetClassNameW(w, name, 16) && ::lstrcmpiW(name, L"COMBOBOX") == 0)
      return ::SendMessageW(w, CB_GETDROPPEDSTATE, 0, 0) != 0;
  }
  return false;
}

BOOL CALLBACK addWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (::GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcWork;
    reinterpret_cast<std::vector<window::Rect>*>(areas)->push_back({r.left, r.top, r.right - r.left, r.bottom - r.top});
  }
  return TRUE;
}

// The work area of each screen there is now.
std::vector<window::Rect> screenAreas() {
  std::vector<window::Rect> areas;
  ::EnumDisplayMonitors(nullptr, nullptr, &addWorkArea, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

}  // namespace

std::string MenuTable::text(int id) const {
  wchar_t buffer[128] = {};
  ::GetMenuStringW(::GetMenu(window_), static_cast<UINT>(id), buffer, 128, MF_BYCOMMAND);
  return toCp1252(buffer);
}

bool MenuTable::enabled(int id) const {
  const UINT state = ::GetMenuState(::GetMenu(window_), static_cast<UINT>(id), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

void MenuTable::setEnabled(int id, bool enabled) {
  ::EnableMenuItem(::GetMenu(window_), static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  ::DrawMenuBar(window_);
}

MainWindow::MainWindow(app::Application& application, window::CellSize cell)
    : application_(application),
      fonts_{messageFont(), {}},
      hwnd_(createFrame()),
      menu_(hwnd_),
      host_(hwnd_, fonts_, nullptr),
      logic_(application.shell(), menu_, host_, *this, [&application] { application.closePort(); }) {
  fonts_.dialogBase = measureDialogBase(fonts_.dialog);
  ACCEL closeChild{FVIRTKEY | FCONTROL, VK_F4, kCloseChild};
  accelerators_ = ::CreateAcceleratorTableW(&closeChild, 1);
  const window::Rect frame = logic_.onCreate(cell, screenAreas());
  ::MoveWindow(hwnd_, frame.x, frame.y, frame.w, frame.h, FALSE);
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  logic_.onSize(client.right, client.bottom);
}

MainWindow::~MainWindow() {
  if (::IsWindow(hwnd_)) {
    onClose();
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
  ::DestroyAcceleratorTable(accelerators_);
  ::DeleteObject(fonts_.dialog);
}

HWND MainWindow::createFrame() {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &MainWindow::windowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = kClassName;
  ::RegisterClassW(&windowClass);
  return ::CreateWindowExW(0, kClassName, widen(app::texts::kMainTitle).c_str(), kStyle, 0, 0, 640, 480, nullptr,
                           buildMenu(), instance, this);
}

HMENU MainWindow::buildMenu() {
  HMENU bar = ::CreateMenu();
  for (const app::MenuEntry& entry : app::mainMenu()) {
    if (entry.items.empty()) {
      ::AppendMenuW(bar, MF_STRING, static_cast<UINT_PTR>(entry.id), widen(entry.text).c_str());
      continue;
    }
    HMENU popup = ::CreatePopupMenu();
    for (const app::MenuItem& item : entry.items)
      ::AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(item.id), widen(item.text).c_str());
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), widen(entry.text).c_str());
  }
  return bar;
}

bool MainWindow::translate(MSG& msg) {
  if (::TranslateAcceleratorW(hwnd_, accelerators_, &msg)) return true;
  if (!child_) return false;
  // With nothing focused (the control that had the focus was disabled) keys go to the
  // main window; they belong to the child window, as if its control had kept the focus.
  if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && msg.hwnd == hwnd_ &&
      (::GetFocus() == nullptr || ::GetFocus() == hwnd_)) {
    focusChild();
    if (HWND focus = ::GetFocus(); focus && ::IsChild(child_->window(), focus)) msg.hwnd = focus;
  }
  if (msg.hwnd != child_->window() && !::IsChild(child_->window(), msg.hwnd)) return false;
  if (msg.message == WM_KEYDOWN) {
    HWND focus = ::GetFocus();
    switch (msg.wParam) {
      case VK_RETURN:
        // Enter presses only a button that has the focus, as Space does; an open
        // list takes it to close itself.
        if (isPushButton(focus)) {
          ::SendMessageW(focus, BM_CLICK, 0, 0);
          return true;
        }
        return !droppedList(focus);
      case VK_ESCAPE: return !droppedList(focus);
      case VK_UP:
      case VK_DOWN:
      case VK_LEFT:
      case VK_RIGHT:
        // The toggles are marked by the logic only; the arrows must not mark them.
        if (isRadio(focus)) return true;
        break;
      default: break;
    }
  }
  // A letter typed alone is text for an edit and nothing else: the dialog manager
  // would take it as a button's accelerator and press that button. The accelerators
  // need Alt (WM_SYSCHAR).
  if (msg.message == WM_CHAR) return false;
  return ::IsDialogMessageW(child_->window(), &msg) != FALSE;
}

bool MainWindow::createChild(app::ChildKind kind) {
  child_ = ChildWindow::create(kind, hwnd_, application_, fonts_, [this] {
    child_ = nullptr;
    focus_ = nullptr;
    ::SetFocus(hwnd_);
    logic_.onChildClosed();
  });
  focus_ = nullptr;
  if (child_) focusChild();
  return child_ != nullptr;
}

void MainWindow::focusChild() {
  if (!child_) return;
  const bool usable = focus_ && ::IsChild(child_->window(), focus_) && ::IsWindowEnabled(focus_);
  HWND target = usable ? focus_ : ::GetNextDlgTabItem(child_->window(), nullptr, FALSE);
  if (target) ::SetFocus(target);
}

void MainWindow::onClose() {
  // The port (receiver and any transfer) stops before the child window and the rest
  // of the program go; the child's own close handling does that.
  if (child_ && !child_->closeWindow()) return;
  if (RECT frame{}; !::IsIconic(hwnd_) && ::GetWindowRect(hwnd_, &frame)) logic_.onClosing({frame.left, frame.top});
  logic_.onExit();
  ::DestroyWindow(hwnd_);
}

LRESULT CALLBACK MainWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  // The logic exists once the constructor has run; until then the defaults serve.
  if (!self || !self->accelerators_) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kCloseChild) {
        if (self->child_) self->child_->closeWindow();
        return 0;
      }
      if (lParam == 0) {  // menu or accelerator
        self->logic_.onCommand(LOWORD(wParam), false);
        return 0;
      }
      break;
    case WM_ACTIVATE:
      // The control that had the focus gets it back when the window is active again.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        self->focus_ = self->child_ && ::IsChild(self->child_->window(), focus) ? focus : nullptr;
      }
      break;
    case WM_SETFOCUS:
      self->focusChild();
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) self->logic_.onSize(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_CLOSE:
      self->onClose();
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default: break;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace trv810::ui::win32
