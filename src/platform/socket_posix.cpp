// TCP connections on POSIX systems, for units behind serial device servers.
//
// The socket is non-blocking from the start: the connection is made with a poll()
// for writability within the time limit, trying each address the name resolves to in
// turn; reads take what has arrived, and waits are poll() on the socket and an
// event's descriptor together, as for a serial device. Writes use MSG_NOSIGNAL, so a
// server that has gone away gives EPIPE rather than ending the program by SIGPIPE.

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>

#include "platform/network_device.h"

namespace trv810::platform {
namespace {

using Clock = std::chrono::steady_clock;

// Keep-alive: a connection quiet for 10 s is probed every 3 s, and given up after 3
// probes without answer.
constexpr int kKeepIdleSeconds = 10;
constexpr int kKeepIntervalSeconds = 3;
constexpr int kKeepCount = 3;

class SocketDevice final : public SerialDevice {
 public:
  explicit SocketDevice(int fd) : fd_(fd) {}
  ~SocketDevice() override { close(); }

  ReadResult readAvailable(uint8_t* buffer, std::size_t size) override {
    for (;;) {
      const ssize_t n = ::recv(fd_, buffer, size, MSG_DONTWAIT);
      if (n > 0) {
        acknowledgeAtOnce();
        return {ReadStatus::Data, static_cast<std::size_t>(n), 0};
      }
      if (n == 0) return {ReadStatus::Gone, 0, 0};  // the server closed the connection
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return {ReadStatus::Nothing, 0, 0};
      return {ReadStatus::Gone, 0, errno};
    }
  }

  WaitOutcome waitReadable(const Event& stop, Millis timeout) override {
    return waitForDescriptorOrEvent(fd_, POLLIN, stop, timeout);
  }

  WriteStatus write(const uint8_t* bytes, std::size_t count, const Event& stop, Millis timeout) override {
    const auto deadline = Clock::now() + timeout;
    while (count > 0) {
      if (stop.isSet()) return WriteStatus::Stopped;
      const ssize_t n = ::send(fd_, bytes, count, MSG_DONTWAIT | MSG_NOSIGNAL);
      if (n > 0) {
        bytes += n;
        count -= static_cast<std::size_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return WriteStatus::Failed;
      const auto left = std::chrono::ceil<Millis>(deadline - Clock::now());
      if (left.count() <= 0) return WriteStatus::TimedOut;
      const WaitOutcome w = waitForDescriptorOrEvent(fd_, POLLOUT, stop, left);
      if (w == WaitOutcome::Second) return WriteStatus::Stopped;
      if (w == WaitOutcome::TimedOut) return WriteStatus::TimedOut;
    }
    return WriteStatus::Written;
  }

  void close() override {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
  }

 private:
  // A server that sends a frame in pieces as its serial port delivers them, and
  // holds each piece until the last one is acknowledged (Nagle's algorithm), would
  // wait for our delayed acknowledgement, up to 40 ms on every frame. Linux turns quick
  // acknowledgement off again by itself, so it is asked for after every read.
  void acknowledgeAtOnce() {
#ifdef TCP_QUICKACK
    const int on = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#endif
  }

  int fd_;
};

void setOptions(int fd) {
  const int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
  ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepIdleSeconds, sizeof kKeepIdleSeconds);
  ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepIntervalSeconds, sizeof kKeepIntervalSeconds);
  ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &kKeepCount, sizeof kKeepCount);
}

// Connects `fd` to `address` by `deadline`: 0, or the errno of the failure
// (ETIMEDOUT when the time ran out).
int connectBy(int fd, const addrinfo& address, Clock::time_point deadline) {
  if (::connect(fd, address.ai_addr, address.ai_addrlen) == 0) return 0;
  if (errno != EINPROGRESS && errno != EINTR) return errno;
  for (;;) {
    const auto left = std::chrono::ceil<Millis>(deadline - Clock::now()).count();
    if (left <= 0) return ETIMEDOUT;
    pollfd p{fd, POLLOUT, 0};
    const int n = ::poll(&p, 1, static_cast<int>(left));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n == 0 ? ETIMEDOUT : errno;
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return errno;
    return error;
  }
}

DeviceOpenError classifyConnect(int error) {
  switch (error) {
    case ECONNREFUSED: return DeviceOpenError::Refused;
    case ETIMEDOUT:
    case EHOSTUNREACH:
    case ENETUNREACH:
    case EHOSTDOWN:
    case ENETDOWN: return DeviceOpenError::Unreachable;
    default: return DeviceOpenError::Other;
  }
}

}  // namespace

SerialDeviceOpener::Result connectTcp(const NetworkAddress& address, Millis limit) {
  const auto deadline = Clock::now() + limit;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(address.port);
  const int resolved = ::getaddrinfo(address.host.c_str(), service.c_str(), &hints, &found);
  if (resolved != 0) {
    // A name that does not exist, or a name service that cannot be asked now.
    const int error = resolved == EAI_AGAIN ? EAGAIN : resolved == EAI_SYSTEM ? errno : ENOENT;
    return openFailure(DeviceOpenError::UnknownHost, error);
  }
  int lastError = ETIMEDOUT;
  for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
    const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) {
      lastError = errno;
      continue;
    }
    lastError = connectBy(fd, *a, deadline);
    if (lastError == 0) {
      ::freeaddrinfo(found);
      setOptions(fd);
      SerialDeviceOpener::Result r;
      r.device = std::make_unique<SocketDevice>(fd);
      return r;
    }
    ::close(fd);
    if (lastError == ETIMEDOUT) break;  // the time is up for every address
  }
  ::freeaddrinfo(found);
  return openFailure(classifyConnect(lastError), lastError);
}

}  // namespace trv810::platform
