#include <cerrno>

#include "platform/file_reader.h"
#include "platform/win32.h"

namespace trv810::platform {

FileReader::~FileReader() { close(); }

FileResult FileReader::open(const std::string& path) {
  close();
  path_ = path;
  const std::wstring wide = win32::widen(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return FileResult::failure(EISDIR, path);
  HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FileResult::failure(win32::errnoOf(::GetLastError()), path);
  handle_ = file;
  LARGE_INTEGER size{};
  size_ = ::GetFileType(file) == FILE_TYPE_DISK && ::GetFileSizeEx(file, &size) ? size.QuadPart : -1;
  return {};
}

FileResult FileReader::read(std::span<uint8_t> buffer, std::size_t& got) {
  got = 0;
  if (handle_ == nullptr) return FileResult::failure(EBADF, path_);
  while (got < buffer.size()) {
    const std::size_t left = buffer.size() - got;
    DWORD n = 0;
    if (!::ReadFile(handle_, buffer.data() + got, left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left), &n,
                    nullptr)) {
      if (::GetLastError() == ERROR_BROKEN_PIPE) break;  // a pipe's writer has finished
      return FileResult::failure(win32::errnoOf(::GetLastError()), path_);
    }
    if (n == 0) break;
    got += n;
  }
  return {};
}

void FileReader::close() {
  if (handle_ != nullptr) ::CloseHandle(handle_);
  handle_ = nullptr;
  size_ = -1;
}

}  // namespace trv810::platform
