#include "platform/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace trv810::platform {

FileReader::~FileReader() { close(); }

FileResult FileReader::open(const std::string& path) {
  close();
  path_ = path;
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return FileResult::failure(errno, path);
  struct stat st {};
  if (::fstat(fd_, &st) != 0) {
    const int err = errno;
    close();
    return FileResult::failure(err, path);
  }
  if (S_ISDIR(st.st_mode)) {
    close();
    return FileResult::failure(EISDIR, path);
  }
  size_ = S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : -1;
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
