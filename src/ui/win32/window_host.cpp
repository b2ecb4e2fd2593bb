#include "ui/win32/window_host.h"

#include <commctrl.h>
#include <commdlg.h>

#include "ui/win32/control_set.h"
#include "ui/win32/layout_dialog.h"
#include "window/dialog.h"
#include "ui/win32/text.h"

namespace trv810::ui::win32 {

namespace {

constexpr DWORD kPathChars = 32768;

std::wstring patternsOf(std::string_view patterns) {
  // The logic separates patterns by blanks, the dialog by semicolons.
  std::wstring out = widen(patterns);
  for (wchar_t& c : out)
    if (c == L' ') c = L';';
  return out;
}

void addFilter(std::wstring& list, const std::string& name, const std::string& patterns) {
  list += widen(name);
  list += L'\0';
  list += patternsOf(patterns);
  list += L'\0';
}

}  // namespace

window::Answer Win32WindowHost::messageBox(std::string_view text, std::string_view caption, window::Icon icon,
                                             window::Buttons buttons, window::Answer defaultAnswer) {
  const bool yesNo = buttons == window::Buttons::YesNo;
  UINT type = yesNo ? MB_YESNO : MB_OK;
  if (yesNo && defaultAnswer == window::Answer::No) type |= MB_DEFBUTTON2;
  type |= icon == window::Icon::Error ? MB_ICONERROR : icon == window::Icon::Question ? MB_ICONQUESTION : MB_ICONINFORMATION;
  const int answer = ::MessageBoxW(owner_, widen(text).c_str(), widen(caption).c_str(), type);
  if (!yesNo) return window::Answer::Ok;
  return answer == IDYES ? window::Answer::Yes : window::Answer::No;
}

std::unique_ptr<LayoutDialog> Win32WindowHost::buildDialog(window::Dialog& dialog, int ownerId) {
  HWND owner = controls_ && ownerId >= 0 ? controls_->window(ownerId) : nullptr;
  return std::make_unique<LayoutDialog>(owner ? owner : owner_, owner_, dialog, fonts_.dialogBase, fonts_.dialog);
}

int Win32WindowHost::runDialog(window::Dialog& dialog, int ownerId) {
  const int result = buildDialog(dialog, ownerId)->exec();
  // The owning control has the focus again, an edit's new text unselected.
  if (HWND owner = controls_ && ownerId >= 0 ? controls_->window(ownerId) : nullptr) {
    ::SetFocus(owner);
    const window::ControlKind kind = controls_->entry(ownerId)->kind;
    if (kind == window::ControlKind::Edit || kind == window::ControlKind::DigitEdit)
      ::SendMessageW(owner, EM_SETSEL, 0, 0);
  }
  return result;
}

void Win32WindowHost::setTitle(std::string_view title) { ::SetWindowTextW(owner_, widen(title).c_str()); }

void Win32WindowHost::setProgressRange(int minimum, int maximum) {
  if (progress_) ::SendMessageW(progress_, PBM_SETRANGE32, static_cast<WPARAM>(minimum), maximum);
}

void Win32WindowHost::setProgressPosition(int position) {
  if (progress_) ::SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

std::wstring Win32WindowHost::filterList(const window::FileDialogRequest& request) {
  std::wstring list;
  addFilter(list, request.filterName, request.filterPatterns);
  for (const window::FileFilter& f : request.moreFilters) addFilter(list, f.name, f.patterns);
  list += L'\0';
  return list;
}

std::optional<std::string> Win32WindowHost::chooseFile(const window::FileDialogRequest& request, bool save) {
  const std::wstring filters = filterList(request);
  const std::wstring suffix = widen(request.defaultSuffix);
  std::wstring path = widen(request.startPath);
  path.resize(kPathChars, L'\0');
  // Without a file to start from, the folder chosen last; the most recent file the
  // logic puts in startPath itself, and the dialog keeps a list of its own.
  const std::wstring folder = widen(request.startFolder);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kPathChars;
  dialog.lpstrInitialDir = request.startPath.empty() && !folder.empty() ? folder.c_str() : nullptr;
  dialog.lpstrDefExt = suffix.empty() ? nullptr : suffix.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                 (save ? (request.confirmOverwrite ? OFN_OVERWRITEPROMPT : 0u) : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
  if (!(save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog))) return std::nullopt;
  return narrow(path.c_str());
}

std::optional<std::string> Win32WindowHost::chooseOpenFile(const window::FileDialogRequest& request) {
  return chooseFile(request, false);
}

std::optional<std::string> Win32WindowHost::chooseSaveFile(const window::FileDialogRequest& request) {
  return chooseFile(request, true);
}

void Win32WindowHost::setWaitCursor(bool wait) {
  if (wait == waiting_) return;
  waiting_ = wait;
  ::SetCursor(::LoadCursorW(nullptr, wait ? IDC_WAIT : IDC_ARROW));
}

void Win32WindowHost::requestClose() { ::PostMessageW(owner_, WM_CLOSE, 0, 0); }

void Win32WindowHost::setFocus(int id, bool selectText) {
  HWND control = controls_ ? controls_->window(id) : nullptr;
  if (!control) return;
  ::SetFocus(control);
  const window::ControlKind kind = controls_->entry(id)->kind;
  if (selectText && (kind == window::ControlKind::Edit || kind == window::ControlKind::DigitEdit))
    ::SendMessageW(control, EM_SETSEL, 0, -1);
}

int Win32WindowHost::focus() const {
  HWND focused = ::GetFocus();
  if (!controls_ || !focused) return -1;
  for (const auto& [control, hwnd] : controls_->all())
    if (control.id >= 0 && (hwnd == focused || ::IsChild(hwnd, focused))) return control.id;
  return -1;
}

void Win32WindowHost::setTicking(bool on) {
  if (on)
    ::SetTimer(owner_, kTickTimer, static_cast<UINT>(kTickInterval.count()), nullptr);
  else
    ::KillTimer(owner_, kTickTimer);
}

}  // namespace trv810::ui::win32
