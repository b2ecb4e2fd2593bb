#pragma once
// Network addresses of units behind serial device servers, as a port is named:
// socket://HOST:PORT (raw TCP; tcp:// is the same) and rfc2217://HOST:PORT (Telnet
// with the COM-port option). HOST is a name, an IPv4 address or an IPv6 address in
// brackets ([::1]); PORT is a number from 1 to 65535. Pure text handling, no I/O.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trv810::platform {

enum class NetworkProtocol { Raw, Rfc2217 };

struct NetworkAddress {
  NetworkProtocol protocol = NetworkProtocol::Raw;
  std::string host;  ///< without brackets
  uint16_t port = 0;
  /// "HOST:PORT", an IPv6 host in brackets again.
  std::string hostAndPort() const;
};

/// What is wrong with a text meant as an address.
enum class AddressProblem { None, UnknownScheme, MissingHost, MissingPort, PortNotNumber, PortOutOfRange, TrailingText };

struct AddressParse {
  std::optional<NetworkAddress> address;
  AddressProblem problem = AddressProblem::None;
  std::string part;  ///< the offending part: the scheme, the port text, or what trails
};

/// Whether `text` is meant as a network address rather than a device: it holds "://".
bool isNetworkAddress(std::string_view text);

/// Parses `text` as a network address. The scheme is taken in any case.
AddressParse parseNetworkAddress(std::string_view text);

}  // namespace trv810::platform
