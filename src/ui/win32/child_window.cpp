#include "ui/win32/child_window.h"

#include "app/child_windows.h"
#include "config/control_ids.h"
#include "config/signal_box.h"
#include "ui/win32/cell_metrics.h"
#include "ui/win32/layout_dialog.h"
#include "ui/win32/text.h"

namespace trv810::ui::win32 {

namespace {

namespace ids = config::ids;

// The configuration window without WS_CLIPCHILDREN: its group boxes are transparent,
// and the window paints the grey behind them. The flash-update window has none, and
// clips its controls, so what it paints never blanks a button.
constexpr DWORD kChildStyle = WS_CHILD | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;

void registerClass(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = ChildWindow::kClassName;
  ::RegisterClassW(&windowClass);  // fails harmlessly once it exists
}

bool contains(platform::Rect outer, platform::Rect inner) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
         inner.y + inner.h <= outer.y + outer.h;
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
  const DWORD style = kChildStyle | (kind == app::ChildKind::FlashUpdate ? WS_CLIPCHILDREN : 0u);
  child->hwnd_ = ::CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, widen(shape.title).c_str(), style,
                                   shape.frame.x, shape.frame.y, shape.frame.w, shape.frame.h, client, nullptr, instance,
                                   child);
  if (!child->hwnd_) {
    delete child;
    return nullptr;
  }
  if (kind == app::ChildKind::Configuration)
    child->content_ = std::make_unique<ConfigurationContent>(child->hwnd_, application, fonts);
  else
    child->content_ = std::make_unique<UpdateContent>(child->hwnd_, application);
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

// --- the configuration window ---

ConfigurationContent::ConfigurationContent(HWND window, app::Application& application, const Fonts& fonts)
    : window_(window),
      fonts_(fonts),
      layout_(config::ConfigWindow::layout(application.shell().cell, application.shell().clientWidth,
                                           application.shell().clientHeight)),
      font_(createControlFont(layout_.controls)),
      set_(std::make_unique<ControlSet>(window, layout_.controls, font_, input(), layout_.tabOrder)),
      table_(*set_),
      host_(window, set_->progressBar(), set_.get()),
      sink_([this](const transfer::Notification& n) { logic_.onNotification(n); }),
      logic_(application.configImage(), application.staging(), application.configPath(), application.transfer(),
             {application.shell().ports, application.shell().selectedPort}, table_, *this, sink_) {
  // The wheel over the table: its group box (the first control) holds the rows.
  tableArea_ = layout_.controls.front().rect();
  logic_.onCreate();
}

ConfigurationContent::~ConfigurationContent() { ::DeleteObject(font_); }

ControlInput ConfigurationContent::input() {
  ControlInput in;
  in.command = [this](int id) { logic_.onCommand(id); };
  in.scrolled = [this](int, config::ScrollRequest request, int position) { logic_.onScroll(request, position); };
  in.doubleClicked = [this](int id) { logic_.onDoubleClick(id); };
  in.pressed = [this](int id, bool alone) {
    if (id <= ids::kLastFieldId) logic_.onLeftButtonDown(id, alone);
  };
  in.wheel = [this](int id, int delta) { return onWheel(id, delta); };
  in.pasted = [this](const platform::ControlSpec& edit, const std::string& utf8) { return logic_.onPaste(edit, utf8); };
  return in;
}

bool ConfigurationContent::onWheel(int id, int delta) {
  // Over the rows the wheel scrolls them, lists included, by the desktop's lines a
  // notch; the scroll bar handles it itself.
  const platform::ControlSpec* control = set_->entry(id);
  if (id == ids::kScrollBar || (control && !contains(tableArea_, control->rect()))) return false;
  UINT linesPerNotch = 3;
  ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &linesPerNotch, 0);
  wheelPending_ += delta;
  const int notches = wheelPending_ / WHEEL_DELTA;
  wheelPending_ -= notches * WHEEL_DELTA;
  if (notches != 0) logic_.onWheel(-notches * static_cast<int>(linesPerNotch));
  return true;
}

bool ConfigurationContent::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_COMMAND: return set_->onCommand(wParam, lParam);
    case WM_VSCROLL: return set_->onScroll(wParam, lParam);
    case WM_TIMER:
      if (wParam != Win32WindowHost::kTickTimer) return false;
      logic_.onTick();
      return true;
    case WM_MOUSEWHEEL: {
      POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ::ScreenToClient(window_, &at);
      const platform::Rect area = tableArea_;
      if (at.x < area.x || at.y < area.y || at.x >= area.x + area.w || at.y >= area.y + area.h) return false;
      return onWheel(-1, GET_WHEEL_DELTA_WPARAM(wParam));
    }
    default: return false;
  }
}

int ConfigurationContent::runSignalBox(config::SignalBox& box, int ownerId) {
  // Placed like any dialog of this window: relative to its client area's top left.
  HWND owner = set_->window(ownerId);
  LayoutDialog dialog(owner ? owner : window_, window_, config::SignalBox::layout(fonts_.dialogBase), fonts_.dialog);
  dialog.setCommandHandler([&box, &dialog](int id) { return box.onCommand(id, dialog.controls()); });
  dialog.setPasteHandler([&box, &dialog](const platform::ControlSpec& edit, const std::string& utf8) {
    return box.onPaste(edit, utf8, dialog.controls());
  });
  box.onInit(dialog.controls());
  dialog.focusControl(config::SignalBox::kEdit);
  const int result = dialog.exec() == 1 ? 1 : 0;
  if (owner) {
    ::SetFocus(owner);
    ::SendMessageW(owner, EM_SETSEL, 0, 0);  // the new text shows unselected
  }
  return result;
}

// --- the flash-update window ---

UpdateContent::UpdateContent(HWND window, app::Application& application)
    : layout_(firmware::UpdateWindow::layout(application.shell().cell, application.shell().clientWidth)),
      font_(createControlFont(layout_.controls)),
      sink_([this](const transfer::Notification& n) { logic_.onNotification(n); }),
      set_(std::make_unique<ControlSet>(window, layout_.controls, font_,
                                        clicksTo([this](int id) { logic_.onCommand(id); }))),
      table_(*set_),
      host_(window, set_->progressBar(), set_.get()),
      logic_(application.flash(), application.firmwarePath(), application.transfer(),
             {application.shell().ports, application.shell().selectedPort}, table_, host_, sink_) {
  // A long path keeps the file's name in view, its folders shortened with "...".
  if (HWND name = set_->window(firmware::ids::kFileName))
    ::SetWindowLongPtrW(name, GWL_STYLE, ::GetWindowLongPtrW(name, GWL_STYLE) | SS_PATHELLIPSIS);
  logic_.onCreate();
}

UpdateContent::~UpdateContent() { ::DeleteObject(font_); }

bool UpdateContent::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  if (message == WM_TIMER && wParam == Win32WindowHost::kTickTimer) {
    logic_.onTick();
    return true;
  }
  return message == WM_COMMAND && set_->onCommand(wParam, lParam);
}

}  // namespace trv810::ui::win32
