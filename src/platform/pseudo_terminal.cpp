#include "platform/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace trv810::platform {

std::optional<PseudoTerminal> PseudoTerminal::create() {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master < 0) return std::nullopt;
  char name[128];
  if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
      ::ptsname_r(master, name, sizeof name) != 0) {
    ::close(master);
    return std::nullopt;
  }
  // The master carries bytes unchanged in both directions only if its own side is raw too.
  termios t{};
  if (::tcgetattr(master, &t) == 0) {
    ::cfmakeraw(&t);
    ::tcsetattr(master, TCSANOW, &t);
  }
  return PseudoTerminal(master, name);
}

PseudoTerminal::PseudoTerminal(int master, std::string slavePath)
    : master_(master), slavePath_(std::move(slavePath)) {}

PseudoTerminal::PseudoTerminal(PseudoTerminal&& other) noexcept
    : master_(other.master_), slavePath_(std::move(other.slavePath_)) {
  other.master_ = -1;
}

PseudoTerminal::~PseudoTerminal() { closeMaster(); }

bool PseudoTerminal::write(const uint8_t* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t n = ::write(master_, bytes, count);
    if (n > 0) {
      bytes += n;
      count -= static_cast<std::size_t>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd p{master_, POLLOUT, 0};
      if (::poll(&p, 1, 1000) == 0) return false;  // nobody reads the slave side
    } else {
      return false;
    }
  }
  return true;
}

long PseudoTerminal::read(uint8_t* buffer, std::size_t size) {
  return static_cast<long>(::read(master_, buffer, size));
}

void PseudoTerminal::closeMaster() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

}  // namespace trv810::platform
