#include "platform/network_address.h"

#include <algorithm>
#include <cctype>

namespace trv810::platform {
namespace {

std::string lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

AddressParse problem(AddressProblem kind, std::string_view part = {}) { return {std::nullopt, kind, std::string(part)}; }

}  // namespace

std::string NetworkAddress::hostAndPort() const {
  const bool v6 = host.find(':') != std::string::npos;
  return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

bool isNetworkAddress(std::string_view text) { return text.find("://") != std::string_view::npos; }

AddressParse parseNetworkAddress(std::string_view text) {
  const std::size_t schemeEnd = text.find("://");
  if (schemeEnd == std::string_view::npos) return problem(AddressProblem::UnknownScheme, text);
  const std::string scheme = lower(text.substr(0, schemeEnd));
  NetworkAddress address;
  if (scheme == "socket" || scheme == "tcp") {
    address.protocol = NetworkProtocol::Raw;
  } else if (scheme == "rfc2217") {
    address.protocol = NetworkProtocol::Rfc2217;
  } else {
    return problem(AddressProblem::UnknownScheme, text.substr(0, schemeEnd + 3));
  }
  std::string_view rest = text.substr(schemeEnd + 3);

  // The host: up to the last colon, or the bracketed IPv6 address.
  std::string_view portText;
  bool hasPort = false;
  if (!rest.empty() && rest.front() == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos) return problem(AddressProblem::MissingPort);
    address.host = std::string(rest.substr(1, close - 1));
    rest = rest.substr(close + 1);
    if (!rest.empty() && rest.front() != ':') return problem(AddressProblem::TrailingText, rest);
    hasPort = !rest.empty();
    if (hasPort) portText = rest.substr(1);
  } else {
    const std::size_t colon = rest.rfind(':');
    hasPort = colon != std::string_view::npos;
    address.host = std::string(rest.substr(0, hasPort ? colon : rest.size()));
    if (hasPort) portText = rest.substr(colon + 1);
    // A bare IPv6 address (more than one colon) needs brackets to tell its port apart.
    if (address.host.find(':') != std::string::npos) return problem(AddressProblem::MissingPort);
    if (const std::size_t slash = address.host.find_first_of("/?#"); slash != std::string::npos)
      return problem(AddressProblem::TrailingText, std::string_view(address.host).substr(slash));
  }
  if (address.host.empty()) return problem(AddressProblem::MissingHost);
  if (!hasPort || portText.empty()) return problem(AddressProblem::MissingPort);

  std::size_t digits = 0;
  while (digits < portText.size() && std::isdigit(static_cast<unsigned char>(portText[digits]))) ++digits;
  if (digits == 0) return problem(AddressProblem::PortNotNumber, portText);
  if (digits < portText.size()) {
    // "4001/" or "4001?x" trail a number; "40x1" is no number at all.
    const char next = portText[digits];
    if (next == '/' || next == '?' || next == '#') return problem(AddressProblem::TrailingText, portText.substr(digits));
    return problem(AddressProblem::PortNotNumber, portText);
  }
  // Leading zeros are allowed; the value must be 1..65535 (no overflow: at most 5 digits counted).
  const std::string_view significant = portText.substr(std::min(portText.find_first_not_of('0'), portText.size()));
  if (significant.empty() || significant.size() > 5) return problem(AddressProblem::PortOutOfRange, portText);
  const long value = std::stol(std::string(significant));
  if (value > 65535) return problem(AddressProblem::PortOutOfRange, portText);
  address.port = static_cast<uint16_t>(value);
  return {std::move(address), AddressProblem::None, {}};
}

}  // namespace trv810::platform
