#include "ui/win32/scenario_driver.h"

#include <chrono>
#include <cstdio>

#include <commdlg.h>
#include <dlgs.h>

#include "ui/win32/layout_dialog.h"
#include "ui/win32/main_window.h"
#include "ui/win32/modal_watch.h"
#include "ui/win32/text.h"

namespace trv810::ui::win32 {

namespace {

constexpr wchar_t kTickClass[] = L"TRV810ScenarioTicks";
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMs = 20;

enum class Modal { None, Box, FileDialog, Layout };

struct Found {
  HWND hwnd = nullptr;
  Modal kind = Modal::None;
};

bool isFileDialog(HWND dialog) {
  return ::GetDlgItem(dialog, cmb13) || ::GetDlgItem(dialog, edt1) || ::GetDlgItem(dialog, lst1);
}

BOOL CALLBACK findModal(HWND hwnd, LPARAM out) {
  wchar_t name[32] = {};
  ::GetClassNameW(hwnd, name, 32);
  if (!::IsWindowVisible(hwnd) || !::IsWindowEnabled(hwnd)) return TRUE;
  auto* found = reinterpret_cast<Found*>(out);
  if (std::wstring_view(name) == LayoutDialog::kClassName) {
    *found = {hwnd, Modal::Layout};
    return FALSE;
  }
  if (std::wstring_view(name) == L"#32770") {
    *found = {hwnd, isFileDialog(hwnd) ? Modal::FileDialog : Modal::Box};
    return FALSE;
  }
  return TRUE;
}

/// The modal window of this thread open now (the one that is enabled: a box over a
/// dialog disables the dialog).
Found modal() {
  Found found;
  ::EnumThreadWindows(::GetCurrentThreadId(), &findModal, reinterpret_cast<LPARAM>(&found));
  return found;
}

/// Paints what is to be painted for about `span`; input and ticks wait for the loop
/// they belong to, so a picture shows the step it was taken in.
void settle(std::chrono::milliseconds span) {
  const auto end = std::chrono::steady_clock::now() + span;
  MSG msg;
  while (std::chrono::steady_clock::now() < end) {
    if (::PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
      ::DispatchMessageW(&msg);
    else
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_PAINT);
  }
}

/// Writes what the screen shows of `hwnd` (frame included) as a 24-bit BMP file.
bool saveBitmap(HWND hwnd, const std::wstring& path) {
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;  // bottom-up, as the file keeps its rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  ::GdiFlush();
  const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
  const DWORD size = stride * static_cast<DWORD>(h);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + size;
  bool ok = false;
  if (std::FILE* out = ::_wfopen(path.c_str(), L"wb")) {
    ok = std::fwrite(&file, sizeof file, 1, out) == 1 &&
         std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 && std::fwrite(bits, size, 1, out) == 1;
    ok = std::fclose(out) == 0 && ok;
  }
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return ok;
}

/// What runTicks() is calling now; the timer's window hands its ticks to it.
const std::function<bool()>* ticking = nullptr;
bool finished = false;

LRESULT CALLBACK tickProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_TIMER || wParam != kTickTimer) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  // Armed again before the tick runs: a tick that opens a modal window waits in its
  // loop, where the next one runs.
  ::SetTimer(hwnd, kTickTimer, kTickMs, nullptr);
  if (!finished && ticking && !(*ticking)()) {
    finished = true;
    ::KillTimer(hwnd, kTickTimer);
    ::PostMessageW(hwnd, WM_NULL, 0, 0);  // wakes the loop of runTicks()
  }
  return 0;
}

}  // namespace

Win32ScenarioDriver::Win32ScenarioDriver(MainWindow& window, std::wstring pictures)
    : window_(window), pictures_(std::move(pictures)) {}

void Win32ScenarioDriver::runTicks(const std::function<bool()>& tick) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &tickProc;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kTickClass;
  ::RegisterClassW(&windowClass);  // fails harmlessly once it exists
  HWND ticks = ::CreateWindowExW(0, kTickClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
  ticking = &tick;
  finished = false;
  ::SetTimer(ticks, kTickTimer, kTickMs, nullptr);
  // The program's own loop, its keyboard translation included.
  MSG msg;
  while (!finished && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (window_.translate(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  ticking = nullptr;
  ::DestroyWindow(ticks);
}

void Win32ScenarioDriver::closeModals() {
  const Found found = modal();
  if (found.kind == Modal::Layout) {
    ::PostMessageW(found.hwnd, WM_CLOSE, 0, 0);
  } else if (found.kind != Modal::None) {
    for (int id : {IDCANCEL, IDNO, IDOK}) ::PostMessageW(found.hwnd, WM_COMMAND, static_cast<WPARAM>(id), 0);
  }
}

void Win32ScenarioDriver::menu(int commandId) {
  ::PostMessageW(window_.window(), WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
}

void Win32ScenarioDriver::press(window::Key key) {
  HWND to = ::GetFocus();
  if (!to) to = window_.window();
  switch (key.name) {
    case window::Key::Character:
      // With Alt the keyboard gives WM_SYSCHAR (bit 29: Alt is down), without it WM_CHAR.
      ::PostMessageW(to, key.alt ? WM_SYSCHAR : WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(key.character)),
                     key.alt ? (LPARAM{1} << 29) | 1 : 1);
      return;
    default: break;
  }
  WPARAM code = 0;
  switch (key.name) {
    case window::Key::Enter: code = VK_RETURN; break;
    case window::Key::Escape: code = VK_ESCAPE; break;
    case window::Key::Tab: code = VK_TAB; break;
    case window::Key::Space: code = VK_SPACE; break;
    case window::Key::Up: code = VK_UP; break;
    case window::Key::Down: code = VK_DOWN; break;
    case window::Key::Character: break;
  }
  ::PostMessageW(to, WM_KEYDOWN, code, 1);
  ::PostMessageW(to, WM_KEYUP, code, (LPARAM{3} << 30) | 1);
}

LayoutDialog* Win32ScenarioDriver::layoutDialog() const {
  const Found found = modal();
  if (found.kind != Modal::Layout) return nullptr;
  return reinterpret_cast<LayoutDialog*>(::GetWindowLongPtrW(found.hwnd, GWLP_USERDATA));
}

ControlSet* Win32ScenarioDriver::controlSet() const {
  if (LayoutDialog* dialog = layoutDialog()) return &dialog->controlSet();
  ChildWindow* child = window_.child();
  auto* content = child ? dynamic_cast<WindowContent*>(child->content()) : nullptr;
  return content ? &content->controls() : nullptr;
}

HWND Win32ScenarioDriver::control(int id) const {
  ControlSet* set = controlSet();
  return set ? set->window(id) : nullptr;
}

void Win32ScenarioDriver::type(int id, std::string_view utf8) {
  HWND edit = control(id);
  if (!edit) return;
  ::SetFocus(edit);
  ::SendMessageW(edit, EM_SETSEL, 0, -1);
  for (wchar_t c : widen(utf8)) ::SendMessageW(edit, WM_CHAR, c, 1);
}

void Win32ScenarioDriver::click(int id) {
  if (HWND button = control(id)) ::PostMessageW(button, BM_CLICK, 0, 0);
}

void Win32ScenarioDriver::doubleClick(int id) {
  HWND target = control(id);
  if (!target) return;
  RECT r{};
  ::GetClientRect(target, &r);
  const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
  ::PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageW(target, WM_LBUTTONUP, 0, at);
  ::PostMessageW(target, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  ::PostMessageW(target, WM_LBUTTONUP, 0, at);
}

void Win32ScenarioDriver::closeChild() {
  if (ChildWindow* child = window_.child()) ::PostMessageW(child->window(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool Win32ScenarioDriver::childOpen() { return window_.child() != nullptr; }

bool Win32ScenarioDriver::dialogOpen() { return layoutDialog() != nullptr; }

window::ControlTable& Win32ScenarioDriver::controls() {
  if (LayoutDialog* dialog = layoutDialog()) return dialog->controls();
  ChildWindow* child = window_.child();
  auto* content = child ? dynamic_cast<WindowContent*>(child->content()) : nullptr;
  return content ? content->table() : static_cast<window::ControlTable&>(none_);
}

int Win32ScenarioDriver::focus() {
  HWND focused = ::GetFocus();
  ControlSet* set = controlSet();
  if (!set || !focused) return -1;
  for (const auto& [control, hwnd] : set->all())
    if (control.id >= 0 && (hwnd == focused || ::IsChild(hwnd, focused))) return control.id;
  return -1;
}

std::optional<std::string> Win32ScenarioDriver::box() {
  const Found found = modal();
  if (found.kind != Modal::Box) return std::nullopt;
  return narrow(messageBoxText(found.hwnd));
}

void Win32ScenarioDriver::answer(window::Answer answer) {
  const Found found = modal();
  if (found.kind != Modal::Box) return;
  const int id = answer == window::Answer::Yes ? IDYES : answer == window::Answer::No ? IDNO : IDOK;
  ::PostMessageW(found.hwnd, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

bool Win32ScenarioDriver::fileDialog() { return modal().kind == Modal::FileDialog; }

void Win32ScenarioDriver::chooseFile(std::string_view path) {
  const Found found = modal();
  if (found.kind != Modal::FileDialog) return;
  if (path.empty()) {
    ::PostMessageW(found.hwnd, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  // Typed into the name field (a combo box or an edit, as the dialog has it).
  for (int id : {cmb13, edt1})
    if (HWND name = ::GetDlgItem(found.hwnd, id)) ::SetWindowTextW(name, widen(path).c_str());
  ::PostMessageW(found.hwnd, WM_COMMAND, IDOK, 0);
}

bool Win32ScenarioDriver::capture(std::string_view name, bool mainWindow) {
  if (pictures_.empty()) return true;
  HWND target = mainWindow ? nullptr : modal().hwnd;
  if (!target) target = window_.window();
  ::SetWindowPos(target, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  settle(std::chrono::milliseconds(200));
  return saveBitmap(target, pictures_ + L"\\" + widen(name) + L".bmp");
}

}  // namespace trv810::ui::win32
