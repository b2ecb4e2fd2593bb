// Files on Windows. Paths are UTF-8 inside the program and UTF-16 at every call, so
// names with umlauts work whatever the system's ANSI code page is.

#include <cerrno>
#include <string>

#include "platform/file.h"
#include "platform/win32.h"

namespace trv810::platform {
namespace {

using win32::Handle;
using win32::widen;

FileResult lastFailure(const std::string& path) { return FileResult::failure(win32::errnoOf(::GetLastError()), path); }

bool writeAll(HANDLE file, const uint8_t* data, std::size_t size) {
  while (size > 0) {
    const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!::WriteFile(file, data, chunk, &written, nullptr)) return false;
    data += written;
    size -= written;
  }
  return true;
}

// A folder gives EISDIR, as on POSIX, rather than Windows' access denial.
bool isFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

FileResult writeFileReplacing(const std::string& path, std::span<const uint8_t> bytes) {
  const std::wstring target = widen(path);
  if (isFolder(target)) return FileResult::failure(EISDIR, path);
  // A name of our own beside the target: the process id and a counter per try.
  std::wstring temp;
  Handle file;
  for (unsigned attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
    temp = target + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(attempt) + L".tmp";
    file.h = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!file.valid() && ::GetLastError() != ERROR_FILE_EXISTS) return lastFailure(path);
  }
  if (!file.valid()) return lastFailure(path);
  if (!writeAll(file.h, bytes.data(), bytes.size()) || !::FlushFileBuffers(file.h)) {
    const FileResult failed = lastFailure(path);
    file.reset();
    ::DeleteFileW(temp.c_str());
    return failed;
  }
  file.reset();
  if (!::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const FileResult failed = lastFailure(path);
    ::DeleteFileW(temp.c_str());
    return failed;
  }
  return {};
}

FileResult checkFolderWritableFor(const std::string& path) {
  const std::size_t separator = path.find_last_of("/\\:");
  std::string folder = separator == std::string::npos ? "." : path.substr(0, separator + 1);
  if (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\') && folder[folder.size() - 2] != ':')
    folder.pop_back();  // a drive's root keeps its separator
  const std::wstring wide = widen(folder);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return lastFailure(folder);
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return FileResult::failure(ENOTDIR, folder);
  // Windows tells write access to a folder only by trying: create and drop a file.
  const std::wstring probe = wide + L"\\.trv810-" + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
  Handle file(::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!file.valid() && ::GetLastError() != ERROR_FILE_EXISTS) return lastFailure(folder);
  return {};
}

FileResult readFileUpTo(const std::string& path, std::size_t limit, std::vector<uint8_t>& out, bool* truncated) {
  out.clear();
  if (truncated) *truncated = false;
  const std::wstring wide = widen(path);
  if (isFolder(wide)) return FileResult::failure(EISDIR, path);
  Handle file(::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return lastFailure(path);
  std::size_t want = limit;
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(file.h, &size) && static_cast<uint64_t>(size.QuadPart) < limit)
    want = static_cast<std::size_t>(size.QuadPart);
  out.resize(want);
  std::size_t have = 0;
  while (have < want) {
    const std::size_t left = want - have;
    DWORD got = 0;
    if (!::ReadFile(file.h, out.data() + have, left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left), &got,
                    nullptr))
      return lastFailure(path);
    if (got == 0) break;
    have += got;
  }
  out.resize(have);
  if (truncated && have == limit) {
    uint8_t extra;
    DWORD got = 0;
    *truncated = ::ReadFile(file.h, &extra, 1, &got, nullptr) && got > 0;
  }
  return {};
}

}  // namespace trv810::platform
