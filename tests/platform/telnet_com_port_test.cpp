// The Telnet/RFC 2217 client machine, fed as a server talks to it: whole and one byte
// at a time, which must come to the same.

#include "platform/telnet_com_port.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/network_address.h"

namespace trv810::platform {
namespace {

using telnet::ComPortClient;
using Bytes = std::vector<uint8_t>;
using State = ComPortClient::State;

Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
Bytes sb(Bytes content) { return cat({{255, 250, 44}, content, {255, 240}}); }

// What a serial device server sends unasked on connecting: it offers and asks for
// suppress-go-ahead, echo (which a client declines) and binary, and asks for the
// COM-port option.
const Bytes kServerHello = {255, 251, 3, 255, 253, 3, 255, 251, 1, 255, 254, 1,
                            255, 253, 0, 255, 251, 0, 255, 253, 44};
// Its answers to the settings: no acknowledgement of DTR and RTS, as some servers do.
const Bytes kServerAcks = cat({sb({101, 0, 0, 0x4B, 0}), sb({102, 8}), sb({103, 1}), sb({104, 1}), sb({105, 1}),
                               sb({105, 14}), sb({112, 3})});
const Bytes kSettings = cat({sb({1, 0, 0, 0x4B, 0}), sb({2, 8}), sb({3, 1}), sb({4, 1}), sb({5, 1}), sb({5, 14}),
                             sb({5, 9}), sb({5, 12}), sb({10, 0}), sb({11, 0}), sb({12, 3})});

struct Fed {
  Bytes data, reply;
  State state;
};

// Feeds `input` to a started machine whole, and to another one byte at a time.
Fed feed(const Bytes& input, bool byteAtATime) {
  ComPortClient m;
  m.start();
  Fed f;
  if (byteAtATime) {
    for (uint8_t b : input) m.receive({&b, 1}, f.data, f.reply);
  } else {
    m.receive(input, f.data, f.reply);
  }
  f.state = m.state();
  return f;
}

Fed feedBothWays(const Bytes& input) {
  const Fed whole = feed(input, false);
  const Fed split = feed(input, true);
  EXPECT_EQ(whole.data, split.data);
  EXPECT_EQ(whole.reply, split.reply);
  EXPECT_EQ(whole.state, split.state);
  return whole;
}

TEST(TelnetComPort, NegotiatesTheLineAndPassesEveryByteValueBothWays) {
  ComPortClient m;
  EXPECT_EQ(m.start(), (Bytes{255, 251, 0, 255, 253, 0, 255, 251, 3, 255, 253, 3, 255, 251, 44}));
  // Echo declined; everything else was asked for already; then the line settings.
  const Fed hello = feedBothWays(kServerHello);
  EXPECT_EQ(hello.reply, cat({{255, 254, 1}, kSettings}));
  EXPECT_EQ(hello.state, State::Negotiating);

  // Data before the line is ready, acknowledgements, data with doubled 0xFF after.
  const Bytes frame = {0xFF, 0x0D, 0x00, 0xFF, 0xFE};
  const Fed ready = feedBothWays(cat({kServerHello, {'x'}, kServerAcks, {255, 255, 0x0D, 0x00, 255, 255, 0xFE}}));
  EXPECT_EQ(ready.state, State::Ready);
  EXPECT_EQ(ready.data, cat({{'x'}, frame}));  // binary: CR NUL is two bytes

  Bytes data, reply;
  m.receive(cat({kServerHello, kServerAcks}), data, reply);
  Bytes wire;
  m.encode(frame, wire);
  EXPECT_EQ(wire, (Bytes{255, 255, 0x0D, 0x00, 255, 255, 0xFE}));
  EXPECT_EQ(m.reportedBaud(), 19200u);
  // A later offer of an unknown option is declined; a repeated yes is not answered.
  reply.clear();
  m.receive(Bytes{255, 253, 24, 255, 253, 0, 255, 251, 44}, data, reply);
  EXPECT_EQ(reply, (Bytes{255, 252, 24, 255, 253, 44}));
}

TEST(TelnetComPort, WithoutBinaryCarriageReturnTakesANul) {
  // The server refuses binary both ways; the COM-port option and the rest it takes.
  const Bytes noBinary = {255, 252, 0, 255, 254, 0, 255, 251, 3, 255, 253, 3, 255, 253, 44};
  ComPortClient m;
  m.start();
  Bytes data, reply;
  m.receive(cat({noBinary, kServerAcks, {'a', 0x0D, 0x00, 0x0D, 0x0A}}), data, reply);
  ASSERT_EQ(m.state(), State::Ready);
  EXPECT_EQ(data, (Bytes{'a', 0x0D, 0x0D, 0x0A}));
  Bytes wire;
  m.encode(Bytes{0x0D, 0xFF}, wire);
  EXPECT_EQ(wire, (Bytes{0x0D, 0x00, 0xFF, 0xFF}));
}

TEST(TelnetComPort, RefusalsGarbageAndEndlessNegotiationFailTheOpening) {
  EXPECT_EQ(feedBothWays({255, 254, 44}).state, State::Refused);
  EXPECT_EQ(feedBothWays(cat({kServerHello, sb({101, 0, 0, 0x25, 0x80})})).state, State::LineRefused);  // 9600
  EXPECT_EQ(feedBothWays(cat({kServerHello, sb({105, 3})})).state, State::LineRefused);  // hardware flow
  EXPECT_EQ(feedBothWays({255, 5}).state, State::Garbage);                               // no such command
  EXPECT_EQ(feedBothWays(cat({kServerHello, sb({101, 0, 0x4B})})).state, State::Garbage);  // short baud reply
  EXPECT_EQ(feedBothWays({255, 250, 44, 101, 255, 'x'}).state, State::Garbage);            // IAC x inside SB
  EXPECT_EQ(feedBothWays(cat({{255, 250, 1}, Bytes(300, 'a')})).state, State::Garbage);    // no end
  Bytes toggling;
  for (int i = 0; i < 40; ++i) toggling = cat({toggling, {255, 253, 1, 255, 254, 1}});
  const Fed endless = feedBothWays(toggling);
  EXPECT_EQ(endless.state, State::Endless);
  EXPECT_LE(endless.reply.size(), 3u * ComPortClient::kMaxNegotiation);

  // Once the line runs, the same faults cost nothing but themselves.
  const Fed running = feedBothWays(cat({kServerHello, kServerAcks, {255, 5, 'a'}, sb({101, 0}), {'b'}}));
  EXPECT_EQ(running.state, State::Ready);
  EXPECT_EQ(running.data, (Bytes{'a', 'b'}));
}

TEST(NetworkAddress, FormsAndWhatIsWrongWithThem) {
  const auto ok = [](const char* text, NetworkProtocol protocol, const char* host, int port) {
    const AddressParse p = parseNetworkAddress(text);
    ASSERT_TRUE(p.address) << text;
    EXPECT_EQ(p.address->protocol, protocol) << text;
    EXPECT_EQ(p.address->host, host) << text;
    EXPECT_EQ(p.address->port, port) << text;
  };
  ok("socket://10.0.0.5:4001", NetworkProtocol::Raw, "10.0.0.5", 4001);
  ok("TCP://mast-3.example:65535", NetworkProtocol::Raw, "mast-3.example", 65535);
  ok("rfc2217://[::1]:01", NetworkProtocol::Rfc2217, "::1", 1);
  EXPECT_EQ(parseNetworkAddress("rfc2217://[fe80::1]:7").address->hostAndPort(), "[fe80::1]:7");
  const auto bad = [](const char* text, AddressProblem problem, const char* part = "") {
    const AddressParse p = parseNetworkAddress(text);
    EXPECT_FALSE(p.address) << text;
    EXPECT_EQ(p.problem, problem) << text;
    EXPECT_EQ(p.part, part) << text;
  };
  bad("socket://host", AddressProblem::MissingPort);
  bad("socket://host:", AddressProblem::MissingPort);
  bad("socket://::1:4001", AddressProblem::MissingPort);
  bad("socket://:4001", AddressProblem::MissingHost);
  bad("socket://host:0", AddressProblem::PortOutOfRange, "0");
  bad("socket://host:65536", AddressProblem::PortOutOfRange, "65536");
  bad("socket://host:99999999999999999999", AddressProblem::PortOutOfRange, "99999999999999999999");
  bad("socket://host:40x1", AddressProblem::PortNotNumber, "40x1");
  bad("socket://host:http", AddressProblem::PortNotNumber, "http");
  bad("socket://host:4001/x", AddressProblem::TrailingText, "/x");
  bad("ftp://host:21", AddressProblem::UnknownScheme, "ftp://");
  EXPECT_TRUE(isNetworkAddress("socket://host"));
  EXPECT_FALSE(isNetworkAddress("/dev/ttyUSB0"));
}

}  // namespace
}  // namespace trv810::platform
