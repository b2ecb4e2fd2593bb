#pragma once
// Runs ser2net (Debian's package) in front of a device for a test: the device served
// raw and with RFC 2217 on two free loopback ports, which it finds itself (other runs
// on the same machine take ports too, so none is fixed). Stopped when the object goes.

#include <sys/types.h>

#include <string>

namespace trv810::tests {

class Ser2net {
 public:
  /// Starts ser2net for `device` (a simulator's pseudo-terminal, or a path that does
  /// not exist, for a server that cannot open its port). Throws std::runtime_error when
  /// it does not listen on both ports within 10 s.
  explicit Ser2net(const std::string& device);
  ~Ser2net();
  Ser2net(const Ser2net&) = delete;
  Ser2net& operator=(const Ser2net&) = delete;

  /// "socket://127.0.0.1:PORT" and "rfc2217://127.0.0.1:PORT".
  std::string raw() const;
  std::string rfc2217() const;
  int rawPort() const { return rawPort_; }
  /// Kills it at once (SIGKILL), as a server that goes away, and waits for it.
  void kill();

 private:
  bool start(const std::string& device);
  void stop(int signo);

  pid_t pid_ = -1;
  int rawPort_ = 0;
  int telnetPort_ = 0;
  std::string folder_;
};

/// A loopback port that nobody listens on, held so for the object's life: a socket
/// bound to it without listen(), so connecting is refused.
class ClosedPort {
 public:
  ClosedPort();
  ~ClosedPort();
  ClosedPort(const ClosedPort&) = delete;
  ClosedPort& operator=(const ClosedPort&) = delete;
  int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

}  // namespace trv810::tests
