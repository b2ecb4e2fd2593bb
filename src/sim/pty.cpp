#include "sim/pty.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace trv810::sim {
namespace {

std::string osError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

void makeRaw(int fd) {
  termios t{};
  if (::tcgetattr(fd, &t) != 0) return;
  ::cfmakeraw(&t);
  ::tcsetattr(fd, TCSANOW, &t);
}

}  // namespace

Pty::~Pty() { close(); }

void Pty::close() {
  for (int* fd : {&watch_, &slave_, &master_}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
}

bool Pty::open(std::string& error) {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) return error = osError("posix_openpt"), false;
  if (::grantpt(master_) != 0) return error = osError("grantpt"), false;
  if (::unlockpt(master_) != 0) return error = osError("unlockpt"), false;
  std::array<char, 128> name{};
  if (::ptsname_r(master_, name.data(), name.size()) != 0) return error = osError("ptsname_r"), false;
  path_ = name.data();
  slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (slave_ < 0) return error = osError(path_.c_str()), false;
  // Raw on both sides: no echo of the host's bytes back to the master, no translation.
  makeRaw(slave_);
  makeRaw(master_);
  const int flags = ::fcntl(master_, F_GETFL);
  ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
  // Without the watch everything works except reopening after an exclusive open by a
  // host that is not root, so a failure here is not fatal.
  watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (watch_ >= 0 && ::inotify_add_watch(watch_, path_.c_str(), IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
    ::close(watch_);
    watch_ = -1;
  }
  return true;
}

bool Pty::takeClosed() {
  if (watch_ < 0) return false;
  bool closed = false;
  alignas(inotify_event) std::array<char, 4096> buffer;
  for (;;) {
    const ssize_t n = ::read(watch_, buffer.data(), buffer.size());
    if (n <= 0) break;
    for (ssize_t at = 0; at < n;) {
      inotify_event event;
      std::memcpy(&event, buffer.data() + at, sizeof event);
      if (event.mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) closed = true;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
    }
  }
  return closed;
}

void Pty::releaseExclusive() {
  if (slave_ >= 0) ::ioctl(slave_, TIOCNXCL);
}

}  // namespace trv810::sim
