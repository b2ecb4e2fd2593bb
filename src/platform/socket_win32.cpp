// TCP connections on Windows (Winsock), for units behind serial device servers.
//
// The connection is made non-blocking, with a select() for its outcome within the
// time limit, trying each address the name resolves to in turn. Afterwards the socket
// signals arriving data and the server's close on an event of its own
// (WSAEventSelect), which a wait takes together with the stop event, as the serial
// device waits for its read. Writes rarely find the send buffer full; when they do,
// they look again every few milliseconds, so a stop still ends them at once.

#include <winsock2.h>
#include <ws2tcpip.h>
#include <mstcpip.h>

#include <cerrno>
#include <chrono>
#include <string>

#include "platform/network_device.h"
#include "platform/win32.h"

namespace trv810::platform {
namespace {

using Clock = std::chrono::steady_clock;

constexpr ULONG kKeepIdleMs = 10000;
constexpr ULONG kKeepIntervalMs = 3000;
constexpr long kWriteSliceUs = 5000;

DWORD waitMs(Millis timeout) { return timeout.count() < 0 ? INFINITE : static_cast<DWORD>(timeout.count()); }

// The errno value for Winsock error `error`, so that the texts above apply.
int errnoOfSocket(int error) {
  switch (error) {
    case WSAECONNREFUSED: return ECONNREFUSED;
    case WSAETIMEDOUT: return ETIMEDOUT;
    case WSAEHOSTUNREACH: return EHOSTUNREACH;
    case WSAENETUNREACH: return ENETUNREACH;
    case WSAENETDOWN: return ENETDOWN;
    case WSAECONNRESET: return ECONNRESET;
    case WSAECONNABORTED: return ECONNABORTED;
    case WSAENOTCONN:
    case WSAESHUTDOWN: return EPIPE;
    case WSAEADDRNOTAVAIL: return EADDRNOTAVAIL;
    case WSAENOBUFS: return ENOBUFS;
    default: return win32::errnoOf(static_cast<DWORD>(error));
  }
}

class SocketDevice final : public SerialDevice {
 public:
  SocketDevice(SOCKET socket, WSAEVENT event) : socket_(socket), event_(event) {}
  ~SocketDevice() override {
    close();
    ::WSACloseEvent(event_);
    ::WSACleanup();
  }

  ReadResult readAvailable(uint8_t* buffer, std::size_t size) override {
    if (socket_ == INVALID_SOCKET) return {ReadStatus::Gone, 0, EBADF};
    const int n = ::recv(socket_, reinterpret_cast<char*>(buffer), static_cast<int>(size), 0);
    if (n > 0) return {ReadStatus::Data, static_cast<std::size_t>(n), 0};
    if (n == 0) return {ReadStatus::Gone, 0, 0};  // the server closed the connection
    const int error = ::WSAGetLastError();
    if (error == WSAEWOULDBLOCK) return {ReadStatus::Nothing, 0, 0};
    return {ReadStatus::Gone, 0, errnoOfSocket(error)};
  }

  WaitOutcome waitReadable(const Event& stop, Millis timeout) override {
    if (stop.isSet()) return WaitOutcome::Second;
    if (socket_ == INVALID_SOCKET || readableNow()) return WaitOutcome::First;
    HANDLE both[2] = {stop.native(), event_};
    switch (::WaitForMultipleObjects(2, both, FALSE, waitMs(timeout))) {
      case WAIT_OBJECT_0: return WaitOutcome::Second;
      case WAIT_TIMEOUT: return WaitOutcome::TimedOut;
      default: {
        // Takes the recorded events and clears the event; a read re-arms it while
        // data is left.
        WSANETWORKEVENTS happened{};
        ::WSAEnumNetworkEvents(socket_, event_, &happened);
        return WaitOutcome::First;
      }
    }
  }

  WriteStatus write(const uint8_t* bytes, std::size_t count, const Event& stop, Millis timeout) override {
    if (socket_ == INVALID_SOCKET) return WriteStatus::Failed;
    const auto deadline = Clock::now() + timeout;
    while (count > 0) {
      if (stop.isSet()) return WriteStatus::Stopped;
      const int chunk = count > 65536 ? 65536 : static_cast<int>(count);
      const int n = ::send(socket_, reinterpret_cast<const char*>(bytes), chunk, 0);
      if (n > 0) {
        bytes += n;
        count -= static_cast<std::size_t>(n);
        continue;
      }
      if (n == SOCKET_ERROR && ::WSAGetLastError() != WSAEWOULDBLOCK) return WriteStatus::Failed;
      if (Clock::now() >= deadline) return WriteStatus::TimedOut;
      fd_set writable;
      FD_ZERO(&writable);
      FD_SET(socket_, &writable);
      timeval slice{0, kWriteSliceUs};
      ::select(0, nullptr, &writable, nullptr, &slice);
    }
    return WriteStatus::Written;
  }

  void close() override {
    if (socket_ == INVALID_SOCKET) return;
    ::closesocket(socket_);
    socket_ = INVALID_SOCKET;
  }

 private:
  // Whether a read would not wait: data, or the server's close. The close is signalled
  // on the event only once, and may come while data is still unread; so the socket
  // itself is asked before each wait.
  bool readableNow() const {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_, &readable);
    timeval none{0, 0};
    return ::select(0, &readable, nullptr, nullptr, &none) > 0;
  }

  SOCKET socket_;
  WSAEVENT event_;
};

void setOptions(SOCKET s) {
  const BOOL on = TRUE;
  ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  ::setsockopt(s, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&on), sizeof on);
  tcp_keepalive keep{1, kKeepIdleMs, kKeepIntervalMs};
  DWORD returned = 0;
  ::WSAIoctl(s, SIO_KEEPALIVE_VALS, &keep, sizeof keep, nullptr, 0, &returned, nullptr, nullptr);
}

// Connects the non-blocking `s` to `address` by `deadline`: 0, or the errno of the
// failure (ETIMEDOUT when the time ran out).
int connectBy(SOCKET s, const addrinfo& address, Clock::time_point deadline) {
  if (::connect(s, address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0) return 0;
  const int error = ::WSAGetLastError();
  if (error != WSAEWOULDBLOCK && error != WSAEINPROGRESS) return errnoOfSocket(error);
  const auto left = std::chrono::ceil<std::chrono::microseconds>(deadline - Clock::now()).count();
  if (left <= 0) return ETIMEDOUT;
  fd_set writable, failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(s, &writable);
  FD_SET(s, &failed);
  timeval limit{static_cast<long>(left / 1000000), static_cast<long>(left % 1000000)};
  const int n = ::select(0, nullptr, &writable, &failed, &limit);
  if (n == 0) return ETIMEDOUT;
  if (n == SOCKET_ERROR) return errnoOfSocket(::WSAGetLastError());
  int soError = 0;
  int size = sizeof soError;
  ::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &size);
  if (FD_ISSET(s, &failed) || soError != 0) return soError != 0 ? errnoOfSocket(soError) : ECONNREFUSED;
  return 0;
}

DeviceOpenError classifyConnect(int error) {
  switch (error) {
    case ECONNREFUSED: return DeviceOpenError::Refused;
    case ETIMEDOUT:
    case EHOSTUNREACH:
    case ENETUNREACH:
    case ENETDOWN: return DeviceOpenError::Unreachable;
    default: return DeviceOpenError::Other;
  }
}

// Winsock is started once per connection, and cleaned up with it (it counts).
SerialDeviceOpener::Result connectStarted(const NetworkAddress& address, Millis limit) {
  const auto deadline = Clock::now() + limit;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(address.port);
  const int resolved = ::getaddrinfo(address.host.c_str(), service.c_str(), &hints, &found);
  if (resolved != 0) return openFailure(DeviceOpenError::UnknownHost, resolved == WSATRY_AGAIN ? EAGAIN : ENOENT);
  int lastError = ETIMEDOUT;
  for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
    const SOCKET s = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (s == INVALID_SOCKET) {
      lastError = errnoOfSocket(::WSAGetLastError());
      continue;
    }
    u_long nonBlocking = 1;
    ::ioctlsocket(s, FIONBIO, &nonBlocking);
    lastError = connectBy(s, *a, deadline);
    if (lastError == 0) {
      ::freeaddrinfo(found);
      setOptions(s);
      const WSAEVENT event = ::WSACreateEvent();
      if (event == WSA_INVALID_EVENT || ::WSAEventSelect(s, event, FD_READ | FD_CLOSE) != 0) {
        const int error = errnoOfSocket(::WSAGetLastError());
        if (event != WSA_INVALID_EVENT) ::WSACloseEvent(event);
        ::closesocket(s);
        return openFailure(DeviceOpenError::Other, error);
      }
      SerialDeviceOpener::Result r;
      r.device = std::make_unique<SocketDevice>(s, event);
      return r;
    }
    ::closesocket(s);
    if (lastError == ETIMEDOUT) break;  // the time is up for every address
  }
  ::freeaddrinfo(found);
  return openFailure(classifyConnect(lastError), lastError);
}

}  // namespace

SerialDeviceOpener::Result connectTcp(const NetworkAddress& address, Millis limit) {
  WSADATA data;
  if (const int error = ::WSAStartup(MAKEWORD(2, 2), &data); error != 0) return openFailure(DeviceOpenError::Other, errnoOfSocket(error));
  SerialDeviceOpener::Result r = connectStarted(address, limit);
  if (!r.device) ::WSACleanup();  // a device keeps Winsock until it goes
  return r;
}

}  // namespace trv810::platform
