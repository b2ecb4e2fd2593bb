#include "platform/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_type_posix.h"

namespace trv810::platform {

FileReader::~FileReader() { close(); }

FileResult FileReader::open(const std::string& path) {
  close();
  path_ = path;
  // Looked at before opening, so that no device is opened (a serial port's lines
  // would move) ...
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
    return FileResult::notRegular(fileTypeOf(st.st_mode), path);
  // ... and opened without waiting, then looked at again: a FIFO put in its place
  // meanwhile would otherwise block the open until some writer came.
  fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) return FileResult::failure(errno, path);
  if (::fstat(fd_, &st) != 0) {
    const int err = errno;
    close();
    return FileResult::failure(err, path);
  }
  if (!S_ISREG(st.st_mode)) {
    close();
    return FileResult::notRegular(fileTypeOf(st.st_mode), path);
  }
  size_ = static_cast<int64_t>(st.st_size);
  return {};
}

FileResult FileReader::read(std::span<uint8_t> buffer, std::size_t& got) {
  got = 0;
  if (fd_ < 0) return FileResult::failure(EBADF, path_);
  while (got < buffer.size()) {
    const ssize_t n = ::read(fd_, buffer.data() + got, buffer.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return FileResult::failure(errno, path_);
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return {};
}

void FileReader::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = -1;
}

}  // namespace trv810::platform
