#include "ui/win32/main_window.h"

#include <algorithm>
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
  frame_ = frame;
  ::MoveWindow(hwnd_, frame.x, frame.y, frame.w, frame.h, FALSE);
  // The client area keeps the size the whole frame gives it; child windows are laid
  // out for that, whatever part of it the screen shows.
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  client_ = createClientArea(client.right, client.bottom);
  logic_.onSize(client.right, client.bottom);
  fitToWorkArea(frame);
  ::DragAcceptFiles(hwnd_, TRUE);
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

HWND MainWindow::createClientArea(int width, int height) {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &::DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = L"TRV810Client";
  ::RegisterClassW(&windowClass);  // fails harmlessly once it exists
  clientSize_ = {width, height};
  return ::CreateWindowExW(WS_EX_CONTROLPARENT, windowClass.lpszClassName, L"",
                           WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height, hwnd_, nullptr, instance,
                           nullptr);
}

void MainWindow::fitToWorkArea(const window::Rect& frame) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
  const RECT& work = monitor.rcWork;
  const window::Rect fitted =
      app::MainWindow::fitFrame(frame, {work.left, work.top, work.right - work.left, work.bottom - work.top},
                                ::GetSystemMetrics(SM_CXVSCROLL), ::GetSystemMetrics(SM_CYHSCROLL));
  if (fitted.x != frame.x || fitted.y != frame.y || fitted.w != frame.w || fitted.h != frame.h)
    ::MoveWindow(hwnd_, fitted.x, fitted.y, fitted.w, fitted.h, FALSE);
  updateScrollBars();
}

void MainWindow::updateScrollBars() {
  if (!client_ || adjusting_) return;
  adjusting_ = true;
  // A bar that appears or goes sizes the client area, which may call for the other one.
  for (int round = 0; round < 3; ++round) {
    RECT view{};
    ::GetClientRect(hwnd_, &view);
    const auto set = [this](int bar, LONG whole, LONG shown, LONG& position) {
      position = std::clamp<LONG>(position, 0, std::max<LONG>(0, whole - shown));
      SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, static_cast<int>(whole) - 1,
                      static_cast<UINT>(std::max<LONG>(shown, 0)), static_cast<int>(position), 0};
      ::SetScrollInfo(hwnd_, bar, &info, TRUE);  // hides the bar when the page holds everything
    };
    set(SB_HORZ, clientSize_.cx, view.right, scrolled_.x);
    set(SB_VERT, clientSize_.cy, view.bottom, scrolled_.y);
    RECT after{};
    ::GetClientRect(hwnd_, &after);
    if (::EqualRect(&view, &after)) break;
  }
  adjusting_ = false;
  ::SetWindowPos(client_, nullptr, -scrolled_.x, -scrolled_.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::scrollBy(int dx, int dy) {
  scrolled_.x += dx;
  scrolled_.y += dy;
  updateScrollBars();
}

void MainWindow::onScroll(int bar, int request) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  ::GetScrollInfo(hwnd_, bar, &info);
  const int line = bar == SB_VERT ? application_.shell().cell.height : application_.shell().cell.width;
  int to = info.nPos;
  switch (request) {
    case SB_LINEUP: to -= line; break;
    case SB_LINEDOWN: to += line; break;
    case SB_PAGEUP: to -= static_cast<int>(info.nPage); break;
    case SB_PAGEDOWN: to += static_cast<int>(info.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: to = info.nTrackPos; break;
    case SB_TOP: to = info.nMin; break;
    case SB_BOTTOM: to = info.nMax; break;
    default: return;
  }
  if (bar == SB_VERT)
    scrollBy(0, to - info.nPos);
  else
    scrollBy(to - info.nPos, 0);
}

void MainWindow::showControl(HWND control) {
  if (!client_ || !::IsChild(client_, control)) return;
  RECT at{};
  ::GetWindowRect(control, &at);
  ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&at), 2);
  RECT view{};
  ::GetClientRect(hwnd_, &view);
  // Just far enough to show it whole; its top left first when it is larger than the view.
  const auto needed = [](LONG low, LONG high, LONG viewEnd) {
    LONG by = high > viewEnd ? high - viewEnd : 0;
    return low - by < 0 ? low : by;
  };
  scrollBy(needed(at.left, at.right, view.right), needed(at.top, at.bottom, view.bottom));
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

void MainWindow::openFile(const std::wstring& path) { logic_.openFile(narrow(path)); }

void MainWindow::onDropFiles(HDROP drop) {
  // The first file only: one child window at a time takes one file.
  std::wstring path(::DragQueryFileW(drop, 0, nullptr, 0), L'\0');
  const UINT got = ::DragQueryFileW(drop, 0, path.data(), static_cast<UINT>(path.size() + 1));
  ::DragFinish(drop);
  if (got == 0) return;
  path.resize(got);
  openFile(path);
}

app::ChildLogic* MainWindow::openChild() {
  auto* content = child_ ? dynamic_cast<WindowContent*>(child_->content()) : nullptr;
  return content ? &content->logic() : nullptr;
}

bool MainWindow::createChild(app::ChildKind kind) {
  child_ = ChildWindow::create(kind, client_, application_, fonts_, [this] {
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
    case WM_GETMINMAXINFO: {
      // The whole frame may be larger than the screen: it gives the client area its
      // size before it is cut to the work area.
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMaxTrackSize.x = std::max<LONG>(limits->ptMaxTrackSize.x, self->frame_.w);
      limits->ptMaxTrackSize.y = std::max<LONG>(limits->ptMaxTrackSize.y, self->frame_.h);
      return 0;
    }
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) self->updateScrollBars();
      return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (lParam != 0) break;  // a scroll bar control's, not the window's
      self->onScroll(message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      // What the child window and its controls did not take scrolls the client area.
      self->scrollBy(0, -GET_WHEEL_DELTA_WPARAM(wParam) * 3 * self->application_.shell().cell.height / WHEEL_DELTA);
      return 0;
    case WM_DROPFILES:
      self->onDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_CLOSE:
      self->onClose();
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      if (message == showControlMessage()) {
        self->showControl(reinterpret_cast<HWND>(wParam));
        return 0;
      }
      break;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace trv810::ui::win32
