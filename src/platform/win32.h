#pragma once
// What the Windows files of this folder share: the program's UTF-8 texts as the
// UTF-16 that every Windows call takes, and Windows' error codes as the errno values
// the layers above report.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <string_view>

namespace trv810::platform::win32 {

/// UTF-8 to UTF-16; invalid sequences become U+FFFD.
std::wstring widen(std::string_view utf8);
/// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string narrow(std::wstring_view utf16);

/// The errno value closest to Windows error `error` (GetLastError()), so that the
/// texts and classifications of the layers above apply; EIO for the unknown.
int errnoOf(DWORD error);

/// Closes a handle when it goes out of scope.
struct Handle {
  HANDLE h = INVALID_HANDLE_VALUE;
  Handle() = default;
  explicit Handle(HANDLE handle) : h(handle) {}
  ~Handle() { reset(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  void reset() {
    if (valid()) ::CloseHandle(h);
    h = INVALID_HANDLE_VALUE;
  }
};

}  // namespace trv810::platform::win32
