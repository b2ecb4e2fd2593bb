#pragma once
// Reading a file from front to back in blocks of the caller's size, so a parser can
// stream a file of any length with a few large reads instead of one per character.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/file.h"

namespace trv810::platform {

class FileReader {
 public:
  FileReader() = default;
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;
  ~FileReader();

  /// Opens an existing file for reading; a folder fails with EISDIR.
  FileResult open(const std::string& path);
  /// The size of the open file when it is a regular file, otherwise -1.
  int64_t size() const { return size_; }
  /// Fills `buffer` as far as the file goes; `got` is below buffer.size() only at the
  /// end of the file.
  FileResult read(std::span<uint8_t> buffer, std::size_t& got);
  /// Closes the file; the destructor does the same.
  void close();

 private:
#ifdef _WIN32
  void* handle_ = nullptr;  // a HANDLE; null while closed
#else
  int fd_ = -1;
#endif
  int64_t size_ = -1;
  std::string path_;
};

}  // namespace trv810::platform
