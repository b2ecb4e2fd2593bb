#pragma once
// A unit behind a serial device server, as a serial device: the address names the
// server (network_address.h), and the link reads and writes the TCP connection as it
// would a serial port.
//
// socket://HOST:PORT (or tcp://) is raw TCP: the server's own line settings apply.
// After the connection is made the opener watches it a moment (twice the time the
// connection took, at least 100 ms): a server that closes at once, as one does when
// it cannot open its serial port, is told apart from one that works, before anything
// is sent. What it said meanwhile is kept for the message; anything else received then
// is discarded, as a serial port's driver queue is at opening.
//
// rfc2217://HOST:PORT is Telnet with the COM-port option (telnet_com_port.h): the
// opener negotiates 19200 8N1 without flow control within a time limit, and the device
// escapes 0xFF both ways and answers the server's further negotiation.
//
// Connections have TCP_NODELAY (every frame leaves at once) and keep-alive, and a
// connect time limit. A server that goes away shows as a read that finds the
// connection closed or reset: the link's device loss, as an adapter pulled out.

#include <memory>
#include <string>
#include <utility>

#include "platform/event.h"
#include "platform/network_address.h"
#include "platform/serial_device.h"

namespace trv810::platform {

/// The time limits of opening a network address.
struct NetworkLimits {
  Millis connect{5000};      ///< for the TCP connection, every address of the name together
  Millis negotiation{5000};  ///< for the Telnet negotiation after it
  Millis settleMin{100};     ///< the least a raw connection is watched before it is used
  /// How long a server that closes at once is tried again: a device server lets go
  /// of its serial port only a moment after the previous client has gone, so a
  /// command run right after another would otherwise find the port "in use".
  Millis closedRetry{2000};
};

/// An opening that failed: its kind, the system's error number and what the server said.
inline SerialDeviceOpener::Result openFailure(DeviceOpenError kind, int errorNumber = 0, std::string note = {}) {
  SerialDeviceOpener::Result r;
  r.error = kind;
  r.errorNumber = errorNumber;
  r.note = std::move(note);
  return r;
}

/// What errorNumber says for DeviceOpenError::NotRfc2217: the server sent no Telnet
/// at all in time, began but did not finish the negotiation in time, or refused the
/// COM-port option.
inline constexpr int kTelnetSilent = 0, kTelnetUnfinished = 1, kTelnetRefused = 2;

/// Connects to `address` within `limit`, trying each address its host name resolves
/// to; the device reads and writes the connection. One implementation per platform:
/// socket_posix.cpp, socket_win32.cpp.
SerialDeviceOpener::Result connectTcp(const NetworkAddress& address, Millis limit);

/// The opener of network addresses (any path with "://"), with `limits`.
std::unique_ptr<SerialDeviceOpener> makeNetworkDeviceOpener(NetworkLimits limits = {});

}  // namespace trv810::platform
