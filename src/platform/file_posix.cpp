// Files on POSIX systems.

#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace trv810::platform {
namespace {

// Closes the descriptor when it goes out of scope.
struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

bool writeAll(int fd, const uint8_t* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

FileResult writeFileReplacing(const std::string& path, std::span<const uint8_t> bytes) {
  std::string temp = path + ".XXXXXX";
  Fd file{::mkstemp(temp.data())};
  if (file.fd < 0) return FileResult::failure(errno, path);
  // mkstemp creates the file 0600; give it the mode a newly created file would get.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(file.fd, 0666 & ~mask);
  if (!writeAll(file.fd, bytes.data(), bytes.size()) || ::fsync(file.fd) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return FileResult::failure(err, path);
  }
  if (::close(file.fd) != 0) {
    const int err = errno;
    file.fd = -1;
    ::unlink(temp.c_str());
    return FileResult::failure(err, path);
  }
  file.fd = -1;
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return FileResult::failure(err, path);
  }
  return {};
}

FileResult readFileUpTo(const std::string& path, std::size_t limit, std::vector<uint8_t>& out,
                        bool* truncated) {
  out.clear();
  if (truncated) *truncated = false;
  Fd file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) return FileResult::failure(errno, path);
  struct stat st {};
  if (::fstat(file.fd, &st) != 0) return FileResult::failure(errno, path);
  if (S_ISDIR(st.st_mode)) return FileResult::failure(EISDIR, path);
  std::size_t want = limit;
  if (S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) < limit)
    want = static_cast<std::size_t>(st.st_size);
  out.resize(want);
  std::size_t have = 0;
  while (have < want) {
    ssize_t n = ::read(file.fd, out.data() + have, want - have);
    if (n < 0) {
      if (errno == EINTR) continue;
      return FileResult::failure(errno, path);
    }
    if (n == 0) break;
    have += static_cast<std::size_t>(n);
  }
  out.resize(have);
  if (truncated && have == limit) {
    uint8_t extra;
    ssize_t n;
    do n = ::read(file.fd, &extra, 1);
    while (n < 0 && errno == EINTR);
    *truncated = n > 0;
  }
  return {};
}

FileResult checkFolderWritableFor(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  if (::access(folder.c_str(), W_OK) == 0) return {};
  return FileResult::failure(errno, folder);
}

}  // namespace trv810::platform
