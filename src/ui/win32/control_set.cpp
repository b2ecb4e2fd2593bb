#include "ui/win32/control_set.h"

#include <algorithm>

#include <commctrl.h>

#include "window/layout.h"
#include "ui/win32/cell_metrics.h"
#include "ui/win32/text.h"

namespace trv810::ui::win32 {

using window::ControlKind;
using window::ControlSpec;

namespace {

// Controls the logic never reaches share the id Windows gives such statics.
constexpr int kNoId = 0xFFFF;

struct ClassAndStyle {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle = 0;
};

ClassAndStyle classOf(const ControlSpec& control) {
  switch (control.kind) {
    case ControlKind::GroupBox: return {L"BUTTON", static_cast<DWORD>(BS_GROUPBOX | (control.centred ? BS_CENTER : 0))};
    case ControlKind::Static:
      return {L"STATIC", static_cast<DWORD>(SS_NOPREFIX | SS_CENTERIMAGE | (control.centred ? SS_CENTER : SS_LEFT) |
                                             (control.showsPath ? SS_PATHELLIPSIS : 0))};
    case ControlKind::Toggle:
    case ControlKind::RadioButton: return {L"BUTTON", BS_RADIOBUTTON};  // marked by the logic only
    case ControlKind::Edit:
    case ControlKind::DigitEdit:
      return {L"EDIT", static_cast<DWORD>(control.horizontalScroll ? ES_AUTOHSCROLL : 0),
              static_cast<DWORD>(control.border ? WS_EX_CLIENTEDGE : 0)};
    case ControlKind::List: return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL};
    case ControlKind::ScrollBar: return {L"SCROLLBAR", SBS_VERT};
    case ControlKind::Button: return {L"BUTTON", BS_PUSHBUTTON};
    case ControlKind::DefaultButton: return {L"BUTTON", BS_DEFPUSHBUTTON};
    case ControlKind::ProgressBar: return {PROGRESS_CLASSW, 0};
  }
  return {L"STATIC", 0};
}

bool isEdit(const ControlSpec& control) {
  return control.kind == ControlKind::Edit || control.kind == ControlKind::DigitEdit;
}

std::optional<window::ScrollRequest> scrollRequest(int code) {
  using window::ScrollRequest;
  switch (code) {
    case SB_LINEUP: return ScrollRequest::LineUp;
    case SB_LINEDOWN: return ScrollRequest::LineDown;
    case SB_PAGEUP: return ScrollRequest::PageUp;
    case SB_PAGEDOWN: return ScrollRequest::PageDown;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: return ScrollRequest::Thumb;
    case SB_TOP: return ScrollRequest::Top;
    case SB_BOTTOM: return ScrollRequest::Bottom;
    case SB_ENDSCROLL: return ScrollRequest::EndScroll;
    default: return std::nullopt;
  }
}

std::wstring clipboardText(HWND owner) {
  std::wstring text;
  if (!::OpenClipboard(owner)) return text;
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text = chars;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

}  // namespace

void paintBackground(HWND hwnd, HDC dc) {
  RECT client{};
  ::GetClientRect(hwnd, &client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
}

UINT showControlMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"TRV810.ShowControl");
  return message;
}

bool isPushButton(HWND hwnd) {
  wchar_t name[16] = {};
  if (!hwnd || !::GetClassNameW(hwnd, name, 16) || ::lstrcmpiW(name, L"BUTTON") != 0) return false;
  const LONG_PTR type = ::GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

ControlSet::ControlSet(HWND parent, const std::vector<ControlSpec>& layout, HFONT font, ControlInput input,
                       const std::vector<int>& tabOrder)
    : input_(std::move(input)), parent_(parent) {
  const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  all_.reserve(layout.size());
  for (const ControlSpec& control : layout) {
    HWND hwnd = create(parent, control, instance);
    ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (isEdit(control)) {
      ::SendMessageW(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(1, 1));
      if (control.maxLength > 0) ::SendMessageW(hwnd, EM_LIMITTEXT, static_cast<WPARAM>(control.maxLength), 0);
      // The widest value shows whole: an edit whose font needs more room than its
      // cells give it grows to the right.
      if (!control.widest.empty()) {
        const int missing = textWidth(font, widen(control.widest)) - editTextWidth(control);
        if (missing > 0) ::SetWindowPos(hwnd, nullptr, 0, 0, control.w + missing, control.h, SWP_NOMOVE | SWP_NOZORDER);
      }
    }
    if (control.kind == ControlKind::List) {
      for (const std::string& e : control.entries)
        ::SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(e).c_str()));
      ::SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(control.selected), 0);
      // The closed list shows its widest entry whole beside the arrow; it grows to the
      // right when the cells are too narrow for that.
      int widest = 0;
      for (const std::string& e : control.entries) widest = std::max(widest, textWidth(font, widen(e)));
      const int needed = widest + ::GetSystemMetrics(SM_CXVSCROLL) + 4 * ::GetSystemMetrics(SM_CXEDGE);
      if (needed > control.w) ::SetWindowPos(hwnd, nullptr, 0, 0, needed, control.h, SWP_NOMOVE | SWP_NOZORDER);
    }
    if (control.kind == ControlKind::ScrollBar) {
      ::SetScrollRange(hwnd, SB_CTL, control.minimum, control.maximum, FALSE);
      ::SetScrollPos(hwnd, SB_CTL, control.position, TRUE);
    }
    if (control.kind == ControlKind::ProgressBar) {
      ::SendMessageW(hwnd, PBM_SETRANGE32, 0, 100);
      if (!progress_) progress_ = hwnd;
    }
    if (!control.toolTip.empty()) addToolTip(parent, hwnd, control.toolTip);
    ::SetWindowSubclass(hwnd, &ControlSet::subclass, all_.size(), reinterpret_cast<DWORD_PTR>(this));
    if (control.id >= 0) byId_.emplace(control.id, all_.size());
    all_.emplace_back(control, hwnd);
    // The edit takes its font's height for the text, centred (WM_NCCALCSIZE below).
    if (isEdit(control))
      ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  // Tab follows the Z order: the controls of the tab order go first, in its order.
  HWND previous = HWND_TOP;
  for (int id : tabOrder) {
    HWND next = window(id);
    if (!next) continue;
    ::SetWindowPos(next, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = next;
  }
}

ControlSet::~ControlSet() {
  for (std::size_t i = 0; i < all_.size(); ++i)
    if (::IsWindow(all_[i].second)) ::RemoveWindowSubclass(all_[i].second, &ControlSet::subclass, i);
  if (toolTip_) ::DestroyWindow(toolTip_);
}

HWND ControlSet::create(HWND parent, const ControlSpec& control, HINSTANCE instance) {
  const ClassAndStyle cs = classOf(control);
  const DWORD style = WS_CHILD | WS_VISIBLE | cs.style | (control.tabStop ? WS_TABSTOP : 0u);
  const int id = control.id >= 0 ? control.id : kNoId;
  const std::wstring text = control.kind == ControlKind::List ? std::wstring() : widen(control.text);
  return ::CreateWindowExW(cs.exStyle, cs.className, text.c_str(), style, control.x, control.y, control.w, control.h,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

void ControlSet::addToolTip(HWND parent, HWND control, const std::string& tip) {
  if (!toolTip_) {
    toolTip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                                 nullptr, nullptr);
    ::SendMessageW(toolTip_, TTM_SETMAXTIPWIDTH, 0, 600);  // lines break at "\n"
  }
  std::wstring text = widen(tip);
  TOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = parent;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = text.data();
  ::SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

HWND ControlSet::window(int id) const {
  auto it = byId_.find(id);
  return it == byId_.end() ? nullptr : all_[it->second].second;
}

const ControlSpec* ControlSet::entry(int id) const {
  auto it = byId_.find(id);
  return it == byId_.end() ? nullptr : &all_[it->second].first;
}

bool ControlSet::onCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  const ControlSpec* control = entry(id);
  if (!control || reinterpret_cast<HWND>(lParam) != window(id)) return false;
  switch (control->kind) {
    case ControlKind::Button:
    case ControlKind::DefaultButton:
    case ControlKind::Toggle:
    case ControlKind::RadioButton:
      if (code == BN_CLICKED && input_.command) input_.command(id);
      return true;
    case ControlKind::List:
      if (code == CBN_SELCHANGE && input_.listChosen)
        input_.listChosen(id, static_cast<int>(::SendMessageW(window(id), CB_GETCURSEL, 0, 0)));
      return true;
    case ControlKind::Edit:
    case ControlKind::DigitEdit:
      if (code == EN_CHANGE && !quiet_ && input_.edited) input_.edited(id);
      return true;
    default: return true;
  }
}

bool ControlSet::onScroll(WPARAM wParam, LPARAM lParam) {
  const auto bar = reinterpret_cast<HWND>(lParam);
  auto it = std::find_if(all_.begin(), all_.end(), [bar](const auto& c) { return c.second == bar; });
  if (!bar || it == all_.end()) return false;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_TRACKPOS;
  ::GetScrollInfo(bar, SB_CTL, &info);  // the 32-bit position, not the message's 16 bits
  if (auto request = scrollRequest(LOWORD(wParam)); request && input_.scrolled)
    input_.scrolled(it->first.id, *request, info.nTrackPos);
  return true;
}

bool ControlSet::onWheel(int id, WPARAM wParam, LPARAM lParam) {
  if (!input_.wheel) return false;
  // The message carries the pointer in screen coordinates; the logic measures in the
  // parent's client area.
  POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  ::ScreenToClient(parent_, &at);
  UINT linesPerNotch = 3;
  ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &linesPerNotch, 0);
  return input_.wheel(id, {at.x, at.y}, GET_WHEEL_DELTA_WPARAM(wParam), static_cast<int>(linesPerNotch));
}

void ControlSet::setTextQuietly(int id, const std::wstring& text) {
  HWND hwnd = window(id);
  if (windowText(hwnd) == text) return;  // a status written again redraws nothing
  if (const ControlSpec* control = entry(id); control && control->kind == ControlKind::Static)
    fitLines(hwnd, *control, 1 + static_cast<int>(std::count(text.begin(), text.end(), L'\n')));
  quiet_ = true;
  ::SetWindowTextW(hwnd, text.c_str());
  quiet_ = false;
}

void ControlSet::fitLines(HWND label, const ControlSpec& control, int lines) {
  // A label is one line, centred in its height. A text of several lines (a status
  // with a second line) takes the height it needs, centred on the same middle. Only a
  // change of the count of lines moves it; the text alone redraws the label alone, as
  // a status that changes with every block must not make the window flicker.
  const LONG_PTR was = ::GetWindowLongPtrW(label, GWL_STYLE);
  const LONG_PTR style = lines > 1 ? was & ~static_cast<LONG_PTR>(SS_CENTERIMAGE) : was | SS_CENTERIMAGE;
  int height = control.h;
  if (lines > 1) {
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0));
    HDC dc = ::GetDC(label);
    HGDIOBJ old = ::SelectObject(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
    height = std::max(height, lines * static_cast<int>(metrics.tmHeight));
  }
  RECT at{};
  ::GetWindowRect(label, &at);
  if (style == was && at.bottom - at.top == height) return;
  ::SetWindowLongPtrW(label, GWL_STYLE, style);
  // Moved and sized, the label redraws itself and Windows the parent's area it leaves.
  ::SetWindowPos(label, nullptr, control.x, control.y + (control.h - height) / 2, at.right - at.left, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  ::InvalidateRect(label, nullptr, TRUE);
}

void ControlSet::centreText(HWND edit, RECT& client, std::size_t index) {
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(edit, WM_GETFONT, 0, 0));
  HDC dc = ::GetDC(edit);
  HGDIOBJ old = ::SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(SYSTEM_FONT));
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(edit, dc);
  const int spare = static_cast<int>(client.bottom - client.top) - static_cast<int>(metrics.tmHeight);
  const int above = spare > 1 ? spare / 2 : 0;
  const int below = spare > 1 ? spare - above : 0;
  client.top += above;
  client.bottom -= below;
  padding_[index] = {above, below};
}

void ControlSet::paintPadding(HWND edit, std::size_t index) {
  auto it = padding_.find(index);
  if (it == padding_.end() || (it->second.first == 0 && it->second.second == 0)) return;
  RECT frame{};
  ::GetWindowRect(edit, &frame);
  RECT client{};
  ::GetClientRect(edit, &client);
  ::MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&client), 2);
  ::OffsetRect(&client, -frame.left, -frame.top);
  HDC dc = ::GetWindowDC(edit);
  // The brush the edit paints its text's background with: the parent's answer, as for
  // its client area (a disabled or read-only edit asks as a static does).
  const bool editable = ::IsWindowEnabled(edit) && !(::GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY);
  auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(::GetParent(edit), editable ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit)));
  if (!brush) brush = ::GetSysColorBrush(editable ? COLOR_WINDOW : COLOR_BTNFACE);
  const RECT above{client.left, client.top - it->second.first, client.right, client.top};
  const RECT below{client.left, client.bottom, client.right, client.bottom + it->second.second};
  ::FillRect(dc, &above, brush);
  ::FillRect(dc, &below, brush);
  ::ReleaseDC(edit, dc);
}

void ControlSet::paste(HWND edit, const ControlSpec& control) {
  // The text the paste would make, the selection replaced; the logic takes it whole or
  // not at all (an edit would cut it to its length and keep what fits).
  const std::wstring line = widen(window::pastedLine(narrow(clipboardText(edit))));
  std::wstring result = windowText(edit);
  DWORD start = 0;
  DWORD end = 0;
  ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  start = std::min<DWORD>(start, static_cast<DWORD>(result.size()));
  end = std::clamp<DWORD>(end, start, static_cast<DWORD>(result.size()));
  result.replace(start, end - start, line);
  const std::string utf8 = narrow(result);
  if (input_.pasted ? !input_.pasted(control, utf8) : window::refusalOf(control, utf8) != window::Refusal::None) {
    ::MessageBeep(MB_OK);
    return;
  }
  ::SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line.c_str()));
}

bool ControlSet::admits(const ControlSpec& control, std::wstring_view text) const {
  if (control.kind == ControlKind::DigitEdit &&
      !std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
    return false;
  return !control.windows1252Only || fitsCp1252(text);
}

LRESULT CALLBACK ControlSet::subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR index,
                                      DWORD_PTR self) {
  return reinterpret_cast<ControlSet*>(self)->onControlMessage(hwnd, message, wParam, lParam, index);
}

LRESULT ControlSet::onControlMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, std::size_t index) {
  const ControlSpec& control = all_[index].first;
  switch (message) {
    case WM_CHAR:
      // Control characters (Backspace, Ctrl+C, ...) are editing, not text.
      if (isEdit(control) && wParam >= 0x20 && !admits(control, std::wstring(1, static_cast<wchar_t>(wParam)))) {
        ::MessageBeep(MB_OK);
        return 0;
      }
      break;
    case WM_PASTE:
      if (!isEdit(control)) break;
      paste(hwnd, control);
      return 0;
    case WM_NCCALCSIZE:
      if (isEdit(control) && wParam) {
        auto* frame = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
        const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        centreText(hwnd, frame->rgrc[0], index);
        return result;
      }
      break;
    case WM_NCPAINT:
      if (isEdit(control)) {
        const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        paintPadding(hwnd, index);
        return result;
      }
      break;
    case WM_NCHITTEST:
      // A click on the band above or below the text goes to the edit, as on its text.
      if (isEdit(control)) {
        const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        return result == HTNOWHERE ? HTCLIENT : result;
      }
      break;
    case WM_ENABLE:
      if (isEdit(control)) {
        const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        ::RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return result;
      }
      break;
    case WM_PAINT:
      // A toggle has no caption for the button to draw its focus around: the focus
      // is drawn around the whole toggle.
      if (control.kind == ControlKind::Toggle) {
        const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        if (::GetFocus() == hwnd) {
          RECT around{};
          ::GetClientRect(hwnd, &around);
          HDC dc = ::GetDC(hwnd);
          ::DrawFocusRect(dc, &around);
          ::ReleaseDC(hwnd, dc);
        }
        return result;
      }
      break;
    case BM_SETCHECK:
      if (control.kind == ControlKind::Toggle) {
        // A radio button takes its tab stop away when it is unchecked, so that Tab
        // enters a group of them at the checked one. A toggle stands alone: Tab stops
        // at every one, checked or not.
        const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
        if (control.tabStop && !(style & WS_TABSTOP)) ::SetWindowLongPtrW(hwnd, GWL_STYLE, style | WS_TABSTOP);
        ::InvalidateRect(hwnd, nullptr, TRUE);
        return result;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
      if (control.kind == ControlKind::Toggle) ::InvalidateRect(hwnd, nullptr, TRUE);
      if (message == WM_SETFOCUS)
        ::SendMessageW(::GetAncestor(hwnd, GA_ROOT), showControlMessage(), reinterpret_cast<WPARAM>(hwnd), 0);
      return result;
    }
    case WM_LBUTTONDOWN:
      if (input_.pressed && control.id >= 0) input_.pressed(control.id, wParam == MK_LBUTTON);
      break;
    case WM_LBUTTONDBLCLK:
      if (isEdit(control) && input_.doubleClicked) {
        const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        input_.doubleClicked(control.id);
        return result;
      }
      break;
    case WM_MOUSEWHEEL:
      if (onWheel(control.id, wParam, lParam)) return 0;
      break;
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(hwnd, &ControlSet::subclass, index);
      break;
    default: break;
  }
  return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

// --- the control table ---

std::string Win32ControlTable::text(int id) const {
  HWND hwnd = controls_.window(id);
  if (!hwnd) return {};
  const window::ControlSpec* control = controls_.entry(id);
  if (control->kind == ControlKind::List) {
    const auto index = ::SendMessageW(hwnd, CB_GETCURSEL, 0, 0);
    if (index < 0) return {};
    std::wstring entry(static_cast<std::size_t>(::SendMessageW(hwnd, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
    entry.resize(static_cast<std::size_t>(::SendMessageW(hwnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(entry.data()))));
    return toCp1252(entry);
  }
  return toCp1252(windowText(hwnd));
}

void Win32ControlTable::setText(int id, std::string_view text) {
  HWND hwnd = controls_.window(id);
  if (!hwnd || controls_.entry(id)->kind == ControlKind::List) return;
  controls_.setTextQuietly(id, fromCp1252(text));
}

bool Win32ControlTable::checked(int id) const {
  HWND hwnd = controls_.window(id);
  return hwnd && ::SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32ControlTable::setChecked(int id, bool checked) {
  if (HWND hwnd = controls_.window(id)) ::SendMessageW(hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int Win32ControlTable::selection(int id) const {
  HWND hwnd = controls_.window(id);
  if (!hwnd) return -1;
  switch (controls_.entry(id)->kind) {
    case ControlKind::List: return static_cast<int>(::SendMessageW(hwnd, CB_GETCURSEL, 0, 0));
    case ControlKind::ScrollBar: return ::GetScrollPos(hwnd, SB_CTL);
    default: return -1;
  }
}

void Win32ControlTable::setSelection(int id, int index) {
  HWND hwnd = controls_.window(id);
  if (!hwnd) return;
  switch (controls_.entry(id)->kind) {
    case ControlKind::List: {
      const int count = static_cast<int>(::SendMessageW(hwnd, CB_GETCOUNT, 0, 0));
      ::SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(index >= 0 && index < count ? index : -1), 0);
      break;
    }
    case ControlKind::ScrollBar: {
      int low = 0;
      int high = 0;
      ::GetScrollRange(hwnd, SB_CTL, &low, &high);
      ::SetScrollPos(hwnd, SB_CTL, std::clamp(index, low, high), TRUE);
      break;
    }
    default: break;
  }
}

bool Win32ControlTable::enabled(int id) const {
  HWND hwnd = controls_.window(id);
  return hwnd && ::IsWindowEnabled(hwnd);
}

void Win32ControlTable::setEnabled(int id, bool enabled) {
  if (HWND hwnd = controls_.window(id)) ::EnableWindow(hwnd, enabled);
}

}  // namespace trv810::ui::win32
