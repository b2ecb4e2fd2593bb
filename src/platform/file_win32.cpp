// Files on Windows. Paths are UTF-8 inside the program and UTF-16 at every call, so
// names with umlauts work whatever the system's ANSI code page is.

#include <cerrno>
#include <string>
#include <string_view>

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

// Whether `path` names a device by one of the names Windows reserves in every folder
// (NUL, CON, AUX, COM1, LPT1, also with an extension: aux.kfg): the system turns such
// a path into the device's own, \\.\NAME.
bool namesReservedDevice(const std::wstring& path) {
  constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
  if (path.starts_with(kDevicePrefix)) return false;  // given in the device namespace: left to the calls
  wchar_t full[MAX_PATH];
  const DWORD n = ::GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  return n > 0 && n < MAX_PATH && std::wstring_view(full, n).starts_with(kDevicePrefix);
}

// What stands at `path` now, if anything: a folder (EISDIR, as on POSIX, rather than
// Windows' access denial) or a device is no file to save over, and a file with the
// read-only attribute is not replaced.
FileResult checkExisting(const std::string& path) {
  const std::wstring wide = widen(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return FileResult::notRegular(FileType::Directory, path);
  if (namesReservedDevice(wide)) return FileResult::notRegular(FileType::CharacterDevice, path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    return FileResult::readOnly(path);
  return {};
}

// The folder part of `path` with its separator ("" for a bare name, "C:" for a name
// relative to a drive's current folder): a name appended to it lies beside the file.
std::string folderPrefix(const std::string& path) {
  const std::size_t separator = path.find_last_of("/\\:");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

}  // namespace

FileResult writeFileReplacing(const std::string& path, std::span<const uint8_t> bytes) {
  if (FileResult existing = checkExisting(path); !existing) return existing;
  const std::wstring target = widen(path);
  const DWORD oldAttributes = ::GetFileAttributesW(target.c_str());
  // A short name of our own beside the target, so that a target of the longest name
  // the folder takes can be saved: the process id and a counter per try.
  const std::wstring folder = widen(folderPrefix(path));
  std::wstring temp;
  Handle file;
  for (unsigned attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
    temp = folder + L".trv810-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(attempt) + L".tmp";
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
  // ReplaceFileW gives the new file the old one's attributes, security and creation
  // time; where it cannot (or there is no old file) the file is moved over the name.
  // The attributes are set again after either, for file systems that drop them.
  const bool replaced = oldAttributes != INVALID_FILE_ATTRIBUTES &&
                        ::ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                       nullptr, nullptr);
  if (!replaced && !::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const FileResult failed = lastFailure(path);
    ::DeleteFileW(temp.c_str());
    return failed;
  }
  if (oldAttributes != INVALID_FILE_ATTRIBUTES) ::SetFileAttributesW(target.c_str(), oldAttributes);
  return {};
}

FileResult checkSaveTarget(const std::string& path) {
  if (FileResult existing = checkExisting(path); !existing) return existing;
  std::string folder = folderPrefix(path);
  if (folder.empty()) folder = ".";
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

}  // namespace trv810::platform
