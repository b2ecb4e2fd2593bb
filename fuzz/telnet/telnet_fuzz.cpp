// The Telnet/RFC 2217 client machine, fed what a server might send. The input is fed
// whole to one machine and in pieces (cut where the input's own bytes say) to
// another: both must give the same data, answers and state. Neither may give more
// data than it was fed, nor answer without bound. Once a machine is ready, a machine that a well-behaved
// server made ready gets back what it encodes.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/telnet_com_port.h"

using trv810::platform::telnet::ComPortClient;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ComPortClient whole, pieces;
  const std::vector<uint8_t> opening = whole.start();
  if (pieces.start() != opening) std::abort();
  std::vector<uint8_t> wholeData, wholeReply, pieceData, pieceReply;
  whole.receive({data, size}, wholeData, wholeReply);
  for (size_t at = 0; at < size;) {
    const size_t n = 1 + data[at] % 7;
    const size_t take = n < size - at ? n : size - at;
    pieces.receive({data + at, take}, pieceData, pieceReply);
    at += take;
  }
  if (wholeData != pieceData || wholeReply != pieceReply || whole.state() != pieces.state()) std::abort();
  if (wholeData.size() > size) std::abort();
  // Each option command may be answered once, and the settings are sent once.
  if (wholeReply.size() > 3 * size + 128) std::abort();

  // A machine that a well-behaved server made ready (binary both ways) doubles 0xFF
  // and nothing else, and takes the doubled bytes back as they were.
  ComPortClient ready;
  ready.start();
  const std::vector<uint8_t> server = {255, 253, 0,   255, 251, 0,   255, 253, 3,   255, 251, 3,   255, 253, 44,
                                       255, 250, 44, 101, 0,   0,   75,  0,   255, 240, 255, 250, 44, 102, 8,
                                       255, 240, 255, 250, 44, 103, 1,   255, 240, 255, 250, 44, 104, 1,   255,
                                       240, 255, 250, 44, 105, 1,   255, 240};
  std::vector<uint8_t> ignored, wire, back;
  ready.receive(server, ignored, ignored);
  if (ready.state() != ComPortClient::State::Ready) std::abort();
  ready.encode({data, size}, wire);
  ready.receive(wire, back, ignored);
  if (back != std::vector<uint8_t>(data, data + size) || ready.state() != ComPortClient::State::Ready) std::abort();
  return 0;
}
