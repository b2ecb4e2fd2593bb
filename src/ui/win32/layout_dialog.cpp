#include "ui/win32/layout_dialog.h"

#include "ui/win32/text.h"

namespace trv810::ui::win32 {

namespace {

void registerClass(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = LayoutDialog::kClassName;
  ::RegisterClassW(&windowClass);  // fails harmlessly once it exists
}

std::optional<window::Arrow> arrowOf(WPARAM key) {
  switch (key) {
    case VK_UP: return window::Arrow::Up;
    case VK_DOWN: return window::Arrow::Down;
    case VK_LEFT: return window::Arrow::Left;
    case VK_RIGHT: return window::Arrow::Right;
    default: return std::nullopt;
  }
}

}  // namespace

LayoutDialog::LayoutDialog(HWND owner, HWND ownerClient, window::Dialog& dialog, window::CellSize base, HFONT font)
    : LayoutDialog(owner, ownerClient, dialog, dialog.dialogLayout(base), font) {}

LayoutDialog::LayoutDialog(HWND owner, HWND ownerClient, window::Dialog& dialog, const window::WindowSpec& windowLayout,
                           HFONT font)
    : owner_(owner ? ::GetAncestor(owner, GA_ROOT) : nullptr),
      enterCommand_(windowLayout.enterCommand),
      escapeCommand_(windowLayout.escapeCommand),
      closeCommand_(windowLayout.closeCommand),
      hwnd_(createFrame(ownerClient ? ownerClient : owner, windowLayout)),
      dialog_(dialog),
      set_(std::make_unique<ControlSet>(hwnd_, windowLayout.controls, font, input(), windowLayout.tabOrder)),
      table_(*set_),
      fonts_{font, {}},
      host_(hwnd_, fonts_, nullptr, set_.get()) {
  dialog_.attachHost(host_);
  dialog_.onInit(table_);
  if (const int focus = dialog_.focusId(); focus >= 0) focusControl(focus);
}

ControlInput LayoutDialog::input() {
  ControlInput in = window::clicksTo([this](int id) { command(id); });
  in.edited = [this](int id) { dialog_.onEdited(id, table_); };
  in.pasted = [this](const window::ControlSpec& edit, const std::string& utf8) {
    return dialog_.onPaste(edit, utf8, table_);
  };
  return in;
}

HWND LayoutDialog::createFrame(HWND origin, const window::WindowSpec& windowLayout) {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  registerClass(instance, &LayoutDialog::windowProc);
  const DWORD style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | (closeCommand_ >= 0 ? WS_SYSMENU : 0u);
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  RECT frame{0, 0, windowLayout.frame.w, windowLayout.frame.h};
  if (windowLayout.clientSize) ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  POINT at{windowLayout.frame.x, windowLayout.frame.y};
  if (origin) ::ClientToScreen(origin, &at);
  return ::CreateWindowExW(exStyle, kClassName, widen(windowLayout.title).c_str(), style, at.x, at.y,
                           frame.right - frame.left, frame.bottom - frame.top, owner_, nullptr, instance, this);
}

LayoutDialog::~LayoutDialog() {
  if (::IsWindow(hwnd_)) {
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
}

void LayoutDialog::focusControl(int id) {
  if (HWND control = set_->window(id)) ::SetFocus(control);
}

void LayoutDialog::show() {
  ::ShowWindow(hwnd_, SW_SHOW);
  ::UpdateWindow(hwnd_);
}

int LayoutDialog::exec() {
  HWND focus = ::GetFocus();
  show();
  if (!focus || !::IsChild(hwnd_, ::GetFocus())) {
    // The focus given before the dialog showed, or its first tab stop.
    HWND first = ::GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    ::SetFocus(::IsChild(hwnd_, focus) ? focus : first);
  }
  if (owner_) ::EnableWindow(owner_, FALSE);
  result_.reset();
  MSG msg;
  while (!result_) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside
      break;
    }
    // A letter typed alone never presses a button: WM_CHAR goes past the dialog
    // manager, which would take it as an accelerator.
    if (onKey(msg) || (msg.message != WM_CHAR && ::IsDialogMessageW(hwnd_, &msg))) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  // The owner is enabled before the dialog goes, so Windows activates it again.
  if (owner_) ::EnableWindow(owner_, TRUE);
  ::ShowWindow(hwnd_, SW_HIDE);
  return result_.value_or(0);
}

bool LayoutDialog::onKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd))) return false;
  HWND focus = ::GetFocus();
  switch (msg.wParam) {
    case VK_RETURN:
      if (isPushButton(focus))
        ::SendMessageW(focus, BM_CLICK, 0, 0);
      else
        command(enterCommand_);
      return true;
    case VK_ESCAPE:
      command(escapeCommand_);
      return true;
    default: break;
  }
  const std::optional<window::Arrow> arrow = arrowOf(msg.wParam);
  if (!arrow) return false;
  for (const auto& [control, hwnd] : set_->all())
    if (hwnd == focus && control.kind == window::ControlKind::RadioButton) {
      focusControl(dialog_.onArrow(control.id, *arrow, table_));
      return true;
    }
  return false;
}

void LayoutDialog::command(int id) {
  if (id < 0) return;
  if (std::optional<int> result = dialog_.onCommand(id, table_)) result_ = result;
}

LRESULT CALLBACK LayoutDialog::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<LayoutDialog*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self && self->set_) {
    switch (message) {
      case WM_COMMAND:
        if (self->set_->onCommand(wParam, lParam)) return 0;
        break;
      case WM_PRINTCLIENT:
        paintBackground(hwnd, reinterpret_cast<HDC>(wParam));
        return 0;
      case WM_CLOSE:
        // The command decides; the window goes only when it ends the dialog.
        self->command(self->closeCommand_);
        return 0;
      default: break;
    }
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace trv810::ui::win32
