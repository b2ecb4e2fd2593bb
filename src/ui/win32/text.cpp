#include "ui/win32/text.h"

#include "platform/cp1252.h"

namespace trv810::ui::win32 {

std::wstring fromCp1252(std::string_view bytes) { return widen(platform::cp1252ToUtf8(bytes)); }

std::string toCp1252(std::wstring_view text) { return platform::utf8ToCp1252(narrow(text)).bytes; }

bool fitsCp1252(std::wstring_view text) { return platform::utf8ToCp1252(narrow(text)).complete; }

std::wstring windowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace trv810::ui::win32
