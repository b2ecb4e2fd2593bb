#include "platform/telnet_com_port.h"

namespace trv810::platform::telnet {
namespace {

// Acknowledgements that make the line ready, one bit each.
constexpr uint8_t kAckBaud = 1, kAckDataSize = 2, kAckParity = 4, kAckStopSize = 8, kAckFlow = 16;
constexpr uint8_t kAllAcks = kAckBaud | kAckDataSize | kAckParity | kAckStopSize | kAckFlow;

// SET-CONTROL values (RFC 2217).
constexpr uint8_t kNoFlowOutbound = 1, kXonXoffOutbound = 2, kHardwareOutbound = 3;
constexpr uint8_t kDtrOff = 9, kRtsOff = 12, kNoFlowInbound = 14;
constexpr uint8_t kPurgeBoth = 3;
constexpr uint8_t kDataBits = 8, kNoParity = 1, kOneStopBit = 1;

constexpr uint8_t kCr = 0x0D;

// Options we ask for on our side and on the server's; COM-PORT-OPTION on the server's
// side is taken when offered, but not asked for.
bool wantUs(uint8_t option) { return option == kBinary || option == kSuppressGoAhead || option == kComPort; }
bool wantHim(uint8_t option) { return option == kBinary || option == kSuppressGoAhead || option == kComPort; }

void command(std::vector<uint8_t>& out, uint8_t verb, uint8_t option) {
  out.push_back(kIac);
  out.push_back(verb);
  out.push_back(option);
}

void subnegotiation(std::vector<uint8_t>& out, uint8_t code, std::initializer_list<uint8_t> value) {
  out.insert(out.end(), {kIac, kSb, kComPort, code});
  for (uint8_t b : value) {
    out.push_back(b);
    if (b == kIac) out.push_back(kIac);
  }
  out.insert(out.end(), {kIac, kSe});
}

}  // namespace

ComPortClient::ComPortClient() {
  us_.fill(Side::No);
  him_.fill(Side::No);
}

std::vector<uint8_t> ComPortClient::start() {
  std::vector<uint8_t> out;
  for (uint8_t option : {kBinary, kSuppressGoAhead}) {
    command(out, kWill, option);
    us_[option] = Side::WantYes;
    command(out, kDo, option);
    him_[option] = Side::WantYes;
  }
  command(out, kWill, kComPort);
  us_[kComPort] = Side::WantYes;
  return out;
}

void ComPortClient::receive(std::span<const uint8_t> bytes, std::vector<uint8_t>& data, std::vector<uint8_t>& reply) {
  for (uint8_t byte : bytes) {
    if (failed()) return;
    onByte(byte, data, reply);
  }
}

void ComPortClient::encode(std::span<const uint8_t> data, std::vector<uint8_t>& wire) const {
  const bool binary = us_[kBinary] == Side::Yes;
  for (uint8_t b : data) {
    wire.push_back(b);
    if (b == kIac) wire.push_back(kIac);
    if (b == kCr && !binary) wire.push_back(0);
  }
}

void ComPortClient::onByte(uint8_t byte, std::vector<uint8_t>& data, std::vector<uint8_t>& reply) {
  switch (parse_) {
    case Parse::Data:
      if (byte == kIac) {
        parse_ = Parse::Iac;
        return;
      }
      // Without binary from the server, CR NUL stands for a lone CR.
      if (byte == 0 && lastWasCr_) {
        lastWasCr_ = false;
        return;
      }
      lastWasCr_ = byte == kCr && him_[kBinary] != Side::Yes;
      data.push_back(byte);
      return;
    case Parse::Iac:
      parse_ = Parse::Data;
      if (byte == kIac) {  // a doubled 0xFF is one data byte
        lastWasCr_ = false;
        data.push_back(byte);
        return;
      }
      heardTelnet_ = true;
      if (byte >= kWill) {  // WILL, WONT, DO, DONT: the option follows
        verb_ = byte;
        parse_ = Parse::Verb;
      } else if (byte == kSb) {
        parse_ = Parse::SubOption;
        sub_.clear();
      } else if (byte < kSe) {
        fail(State::Garbage);  // no Telnet command has this code
      }
      // SE outside a subnegotiation, NOP, data mark, break, go-ahead and the like: nothing to do.
      return;
    case Parse::Verb:
      parse_ = Parse::Data;
      onVerb(verb_, byte, reply);
      return;
    case Parse::SubOption:
      sub_.push_back(byte);
      parse_ = Parse::Sub;
      return;
    case Parse::Sub:
      if (byte == kIac) {
        parse_ = Parse::SubIac;
        return;
      }
      if (sub_.size() >= kMaxSubnegotiation) {
        fail(State::Garbage);
        parse_ = Parse::Data;
        return;
      }
      sub_.push_back(byte);
      return;
    case Parse::SubIac:
      if (byte == kIac) {  // a doubled 0xFF inside the subnegotiation
        parse_ = Parse::Sub;
        if (sub_.size() >= kMaxSubnegotiation) fail(State::Garbage);
        sub_.push_back(byte);
        return;
      }
      parse_ = Parse::Data;
      if (byte != kSe) {
        fail(State::Garbage);  // a subnegotiation must end with IAC SE
        return;
      }
      onSubnegotiation();
      return;
  }
}

void ComPortClient::onVerb(uint8_t verb, uint8_t option, std::vector<uint8_t>& reply) {
  if (state_ == State::Negotiating && ++negotiations_ > kMaxNegotiation) {
    fail(State::Endless);
    return;
  }
  const bool aboutUs = verb == kDo || verb == kDont;
  const bool positive = verb == kWill || verb == kDo;
  Side& side = aboutUs ? us_[option] : him_[option];
  const bool wanted = aboutUs ? wantUs(option) : wantHim(option);
  const uint8_t yes = aboutUs ? kWill : kDo;
  const uint8_t no = aboutUs ? kWont : kDont;
  const Side before = side;
  if (positive) {
    if (side == Side::WantYes) {
      side = Side::Yes;  // our request agreed to
    } else if (side == Side::No) {
      side = wanted ? Side::Yes : Side::No;
      command(reply, wanted ? yes : no, option);
    }
  } else if (side != Side::No) {
    // Refused, or switched off: a side that was on is answered, a request is not.
    if (side == Side::Yes) command(reply, no, option);
    side = Side::No;
  }
  if (aboutUs && option == kComPort) {
    if (side == Side::Yes && before != Side::Yes && !settingsSent_) sendSettings(reply);
    if (side == Side::No && state_ == State::Negotiating) fail(State::Refused);
  }
  checkReady();
}

void ComPortClient::sendSettings(std::vector<uint8_t>& reply) {
  settingsSent_ = true;
  subnegotiation(reply, kSetBaudRate,
                 {static_cast<uint8_t>(kBaudRate >> 24), static_cast<uint8_t>(kBaudRate >> 16),
                  static_cast<uint8_t>(kBaudRate >> 8), static_cast<uint8_t>(kBaudRate)});
  subnegotiation(reply, kSetDataSize, {kDataBits});
  subnegotiation(reply, kSetParity, {kNoParity});
  subnegotiation(reply, kSetStopSize, {kOneStopBit});
  subnegotiation(reply, kSetControl, {kNoFlowOutbound});
  subnegotiation(reply, kSetControl, {kNoFlowInbound});
  subnegotiation(reply, kSetControl, {kDtrOff});
  subnegotiation(reply, kSetControl, {kRtsOff});
  subnegotiation(reply, kSetLineStateMask, {0});
  subnegotiation(reply, kSetModemStateMask, {0});
  subnegotiation(reply, kPurgeData, {kPurgeBoth});
}

void ComPortClient::onSubnegotiation() {
  if (state_ == State::Negotiating && ++negotiations_ > kMaxNegotiation) {
    fail(State::Endless);
    return;
  }
  if (sub_.size() < 2 || sub_[0] != kComPort || sub_[1] < kServerOffset) return;  // not ours to read
  onComPortReply(static_cast<uint8_t>(sub_[1] - kServerOffset), std::span<const uint8_t>(sub_).subspan(2));
  checkReady();
}

void ComPortClient::onComPortReply(uint8_t code, std::span<const uint8_t> value) {
  // A value the server reports as 0 tells nothing; any other must be what was asked.
  const auto check = [&](uint8_t bit, std::size_t size, uint32_t wanted) {
    if (value.size() != size) return fail(State::Garbage);
    uint32_t got = 0;
    for (uint8_t b : value) got = got << 8 | b;
    if (code == kSetBaudRate) reportedBaud_ = got;
    if (got != 0 && got != wanted) return fail(State::LineRefused);
    acked_ |= bit;
  };
  switch (code) {
    case kSetBaudRate: return check(kAckBaud, 4, kBaudRate);
    case kSetDataSize: return check(kAckDataSize, 1, kDataBits);
    case kSetParity: return check(kAckParity, 1, kNoParity);
    case kSetStopSize: return check(kAckStopSize, 1, kOneStopBit);
    case kSetControl:
      if (value.size() != 1) return fail(State::Garbage);
      if (value[0] == kNoFlowOutbound) acked_ |= kAckFlow;
      if (value[0] == kXonXoffOutbound || value[0] == kHardwareOutbound) fail(State::LineRefused);
      return;  // DTR, RTS and inbound flow control: taken as sent, answered or not
    default:
      return;  // notifications, purge, signature: nothing to wait for
  }
}

void ComPortClient::fail(State why) {
  // Once the line runs, a stray fault of the server costs a frame at most, which the
  // transfer resends; only the negotiation fails for it.
  if (state_ == State::Negotiating) state_ = why;
}

void ComPortClient::checkReady() {
  if (state_ != State::Negotiating || us_[kComPort] != Side::Yes || acked_ != kAllAcks) return;
  for (uint8_t option : {kBinary, kSuppressGoAhead}) {
    if (us_[option] == Side::WantYes || him_[option] == Side::WantYes) return;
  }
  state_ = State::Ready;
}

}  // namespace trv810::platform::telnet
