#pragma once
// Texts at the Win32 edge: the controls hold UTF-16; the program's own texts are
// UTF-8 and the unit's texts in the control tables Windows-1252 bytes.

#include <string>
#include <string_view>

#include "platform/win32.h"

namespace trv810::ui::win32 {

using platform::win32::narrow;
using platform::win32::widen;

/// The UTF-16 of Windows-1252 bytes.
std::wstring fromCp1252(std::string_view bytes);
/// The Windows-1252 bytes of `text`; characters without a byte become '?'.
std::string toCp1252(std::wstring_view text);
/// Whether every character of `text` has a Windows-1252 byte.
bool fitsCp1252(std::wstring_view text);

/// The text of window `hwnd`.
std::wstring windowText(HWND hwnd);

}  // namespace trv810::ui::win32
