#include <gtest/gtest.h>

#include "link/frame_codec.h"
#include "sim/faults.h"
#include "sim/line_pacing.h"

namespace trv810::sim {
namespace {

using namespace std::chrono_literals;

TEST(LinePacing, TenBitsAByteOneFrameAfterTheOther) {
  LinePacing line(19200);
  EXPECT_EQ(line.lineTime(1), 520us);
  EXPECT_EQ(line.lineTime(192), 100ms);
  // Two frames due at the same time: the second starts when the first is done.
  EXPECT_EQ(line.transmit(192, 1s), 1100ms);
  EXPECT_EQ(line.transmit(192, 1s), 1200ms);
  EXPECT_EQ(line.transmit(192, 2s), 2100ms);  // an idle line starts at once
  EXPECT_EQ(line.transmitTime(), 300ms);
  // Bytes read in one go are taken as arriving one after the other.
  EXPECT_EQ(line.receive(192, 1s), 1s);
  EXPECT_EQ(line.receive(10, 1s), 1100ms);
  EXPECT_EQ(line.receive(10, 3s), 3s);
}

TEST(LinePacing, BaudZeroTakesNoTime) {
  LinePacing line(0);
  EXPECT_EQ(line.transmit(1000, 5ms), 5ms);
  EXPECT_EQ(line.transmit(1000, 5ms), 5ms);
  EXPECT_EQ(line.receive(1000, 7ms), 7ms);
  EXPECT_EQ(line.lineTime(1000), 0us);
}

TEST(FaultInjector, SameSeedSameFaults) {
  const FaultRates rates{0.3, 0.3, 0.3};
  FaultInjector a(rates, 42), b(rates, 42), c(rates, 43);
  std::vector<bool> fromA, fromB, fromC;
  for (int i = 0; i < 200; ++i) {
    fromA.push_back(a.dropOutgoing()), fromA.push_back(a.ignoreIncoming());
    fromB.push_back(b.dropOutgoing()), fromB.push_back(b.ignoreIncoming());
    fromC.push_back(c.dropOutgoing()), fromC.push_back(c.ignoreIncoming());
  }
  EXPECT_EQ(fromA, fromB);
  EXPECT_NE(fromA, fromC);
  EXPECT_GT(a.counters().dropped, 30u);
  EXPECT_LT(a.counters().dropped, 90u);
}

TEST(FaultInjector, NothingAtZeroEverythingAtOne) {
  FaultInjector never(FaultRates{}, 1);
  FaultInjector always(FaultRates{1, 1, 1}, 1);
  std::vector<uint8_t> frame = link::encodeFrame(std::vector<uint8_t>{0x60, 0});
  for (int i = 0; i < 50; ++i) {
    EXPECT_FALSE(never.dropOutgoing() || never.ignoreIncoming() || never.corruptOutgoing(frame));
    EXPECT_TRUE(always.dropOutgoing() && always.ignoreIncoming());
  }
}

// Every damaged frame fails the check, whatever byte was hit, escapes included.
TEST(FaultInjector, CorruptedFramesNeverDecode) {
  FaultInjector faults(FaultRates{0, 1, 0}, 7);
  const std::vector<std::vector<uint8_t>> payloads{
      {0xFF, 0xFE, 0xFD}, {0xFC, 0xFC, 0xFC, 0xFC}, {0x60, 0}, {0, 0, 0}, {0x2C, 0, 0x17, 0xFF, 0xFF, 1, 2, 3}};
  int delivered = 0;
  for (int round = 0; round < 400; ++round) {
    std::vector<uint8_t> frame = link::encodeFrame(payloads[round % payloads.size()]);
    ASSERT_TRUE(faults.corruptOutgoing(frame));
    link::FrameDecoder decoder;
    decoder.decodeBytes(frame.data(), frame.size(), [&](std::span<const uint8_t>) { ++delivered; });
  }
  EXPECT_EQ(delivered, 0);
}

}  // namespace
}  // namespace trv810::sim
