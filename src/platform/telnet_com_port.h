#pragma once
// The client side of Telnet with the COM-port option (RFC 854/855, 856 binary, 858
// suppress-go-ahead, 1143 option negotiation, 2217 COM port control) as a machine
// without I/O: bytes from the server in, data for the program and bytes to send back
// out; data from the program in, bytes for the wire out. No clock inside: the time
// limit of the negotiation is the caller's.
//
// How it works. start() asks for binary transmission and suppress-go-ahead in both
// directions and offers the COM-port option. Once the server agrees to that (DO
// COM-PORT-OPTION), the machine sends the line settings: 19200 baud, 8 data bits, no
// parity, 1 stop bit, no flow control either way, DTR and RTS off, no line-state or
// modem-state notifications, and a purge of the server's buffers. It is Ready when
// the server has acknowledged baud rate, data size, parity, stop size and the outbound
// flow control, and every option it asked for is settled. DTR and RTS need no
// acknowledgement, as some servers never send one. Requests for options it does not
// know are refused; an option already in the asked state is not answered again, so
// two machines cannot talk in a loop.
//
// Failures during the negotiation: the server refuses the COM-port option (Refused),
// acknowledges other line settings than asked (LineRefused), sends what Telnet does
// not allow (Garbage: IAC with an unknown command, an over-long subnegotiation, a
// malformed COM-port reply), or goes on negotiating past any sensible count (Endless).
// After Ready, such input is dropped and the machine stays Ready.
//
// Data: 0xFF is doubled both ways. While binary is not agreed in a direction, the
// network virtual terminal's rule holds there: CR is followed by NUL on the wire.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace trv810::platform::telnet {

inline constexpr uint8_t kIac = 255, kDont = 254, kDo = 253, kWont = 252, kWill = 251, kSb = 250, kSe = 240;
inline constexpr uint8_t kBinary = 0, kEcho = 1, kSuppressGoAhead = 3, kComPort = 44;
/// COM-port subcommands from the client; the server answers with the same plus 100.
inline constexpr uint8_t kSetBaudRate = 1, kSetDataSize = 2, kSetParity = 3, kSetStopSize = 4, kSetControl = 5,
                         kSetLineStateMask = 10, kSetModemStateMask = 11, kPurgeData = 12;
inline constexpr uint8_t kServerOffset = 100;
inline constexpr uint32_t kBaudRate = 19200;

class ComPortClient {
 public:
  enum class State { Negotiating, Ready, Refused, LineRefused, Garbage, Endless };

  /// Option commands and subnegotiations the server may send before Ready.
  static constexpr int kMaxNegotiation = 64;
  /// Longest subnegotiation taken (a server's signature text included).
  static constexpr std::size_t kMaxSubnegotiation = 256;

  ComPortClient();

  /// The bytes that open the negotiation; sent first, once.
  std::vector<uint8_t> start();
  /// Takes `bytes` from the server: data for the program is appended to `data`,
  /// bytes to send back to `reply`. Nothing more is taken once a failure is decided.
  void receive(std::span<const uint8_t> bytes, std::vector<uint8_t>& data, std::vector<uint8_t>& reply);
  /// Appends `data` as it goes on the wire: 0xFF doubled, and CR followed by NUL while
  /// binary is not agreed for what we send.
  void encode(std::span<const uint8_t> data, std::vector<uint8_t>& wire) const;

  State state() const { return state_; }
  bool failed() const { return state_ != State::Negotiating && state_ != State::Ready; }
  /// Whether the server has sent any Telnet command at all.
  bool heardTelnet() const { return heardTelnet_; }
  /// The baud rate the server acknowledged last (0 before it did).
  uint32_t reportedBaud() const { return reportedBaud_; }

 private:
  // RFC 1143's states of one side of one option; this client never withdraws a
  // request, so the queue bits are not needed.
  enum class Side : uint8_t { No, Yes, WantYes };
  enum class Parse : uint8_t { Data, Iac, Verb, SubOption, Sub, SubIac };

  void onByte(uint8_t byte, std::vector<uint8_t>& data, std::vector<uint8_t>& reply);
  void onVerb(uint8_t verb, uint8_t option, std::vector<uint8_t>& reply);
  void onSubnegotiation();
  void onComPortReply(uint8_t code, std::span<const uint8_t> value);
  void sendSettings(std::vector<uint8_t>& reply);
  void fail(State why);
  void checkReady();

  State state_ = State::Negotiating;
  Parse parse_ = Parse::Data;
  uint8_t verb_ = 0;
  std::array<Side, 256> us_{};   // what we do (WILL/WONT from us, DO/DONT from the server)
  std::array<Side, 256> him_{};  // what the server does
  std::vector<uint8_t> sub_;     // the subnegotiation being read: option, then content
  bool settingsSent_ = false;
  bool heardTelnet_ = false;
  bool lastWasCr_ = false;       // received, while the server does not send binary
  int negotiations_ = 0;
  uint8_t acked_ = 0;            // bit per acknowledged setting
  uint32_t reportedBaud_ = 0;
};

}  // namespace trv810::platform::telnet
