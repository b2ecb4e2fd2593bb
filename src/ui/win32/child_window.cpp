#include "ui/win32/child_window.h"

#include "ui/win32/cell_metrics.h"
#include "ui/win32/text.h"

namespace trv810::ui::win32 {

namespace {

constexpr DWORD kChildStyle = WS_CHILD | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;

// A window with group boxes goes without WS_CLIPCHILDREN: they are transparent, and
// the window paints the grey behind them. A window without any clips its controls,
// so what it paints never blanks a button.
bool clipsChildren(const window::WindowSpec& layout) {
  for (const window::ControlSpec& control : layout.controls)
    if (control.kind == window::ControlKind::GroupBox) return false;
  return true;
}

void registerClass(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = ChildWindow::kClassName;
  ::RegisterClassW(&windowClass);  // fails harmlessly once it exists
}

}  // namespace

// --- the child window ---

ChildWindow* ChildWindow::create(app::ChildKind kind, HWND client, app::Application& application, const Fonts& fonts,
                                 std::function<void()> closed) {
  if (kind == app::ChildKind::None) return nullptr;
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  registerClass(instance, &ChildWindow::windowProc);
  const app::ChildFrame shape = app::childFrame(kind, application.shell());
  auto* child = new ChildWindow;
  child->closed_ = std::move(closed);
  const DWORD style = kChildStyle | (clipsChildren(app::childLayout(kind, application.shell())) ? WS_CLIPCHILDREN : 0u);
  child->hwnd_ = ::CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, widen(shape.title).c_str(), style,
                                   shape.frame.x, shape.frame.y, shape.frame.w, shape.frame.h, client, nullptr, instance,
                                   child);
  if (!child->hwnd_) {
    delete child;
    return nullptr;
  }
  child->content_ = std::make_unique<WindowContent>(child->hwnd_, kind, application, fonts);
  ::ShowWindow(child->hwnd_, SW_SHOW);
  return child;
}

bool ChildWindow::closeWindow() {
  if (closing_) return true;
  if (content_ && !content_->mayClose()) return false;
  closing_ = true;
  if (content_) content_->onClose();
  if (closed_) closed_();
  ::DestroyWindow(hwnd_);  // deletes this
  return true;
}

LRESULT CALLBACK ChildWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<ChildWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_CLOSE:
      self->closeWindow();
      return 0;
    case WM_PRINTCLIENT:
      paintBackground(hwnd, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_SETCURSOR:
      if (self->content_ && self->content_->waiting()) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      // The controls are gone; the content (and with it the logic) goes after them.
      delete self;
      return ::DefWindowProcW(hwnd, message, wParam, lParam);
    default:
      if (LRESULT result = 0; self->content_ && self->content_->onMessage(message, wParam, lParam, result))
        return result;
      break;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

// --- its content ---

WindowContent::WindowContent(HWND window, app::ChildKind kind, app::Application& application, const Fonts& fonts)
    : layout_(app::childLayout(kind, application.shell())),
      font_(createControlFont(layout_.controls)),
      sink_([this](const transfer::Notification& n) { logic_->onNotification(n); }),
      set_(std::make_unique<ControlSet>(window, layout_.controls, font_, ControlInput{}, layout_.tabOrder)),
      table_(*set_),
      host_(window, fonts, set_->progressBar(), set_.get()) {
  // The logic works on the controls, so it comes after them; their input reaches it
  // from now on.
  logic_ = app::makeChildLogic(kind, application, layout_, table_, host_, sink_);
  set_->setInput(logic_->input());
  logic_->onCreate();
}

WindowContent::~WindowContent() {
  // The logic goes first: it stops a transfer that still posts to the sink.
  logic_.reset();
  ::DeleteObject(font_);
}

bool WindowContent::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_COMMAND: return set_->onCommand(wParam, lParam);
    case WM_VSCROLL: return set_->onScroll(wParam, lParam);
    case WM_MOUSEWHEEL: return set_->onWheel(-1, wParam, lParam);
    case WM_TIMER:
      if (wParam != Win32WindowHost::kTickTimer) return false;
      logic_->onTick();
      return true;
    default: return false;
  }
}

}  // namespace trv810::ui::win32
