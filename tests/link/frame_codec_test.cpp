#include "link/frame_codec.h"

#include <gtest/gtest.h>

#include "link/receive_ring.h"

using namespace trv810::link;
using Bytes = std::vector<uint8_t>;

namespace {

struct Example {
  Bytes payload;
  Bytes wire;
};

// Payloads and their frames as the unit sends and expects them.
const Example kExamples[] = {
    {{0x01, 0x02, 0x03}, {0xFF, 0x01, 0x02, 0x03, 0xEF, 0x0A, 0xFE}},
    {{}, {0xFF, 0xFD, 0x7F, 0x00, 0xFE}},
    {{0xFF, 0xFE, 0xFD}, {0xFF, 0xFD, 0x7F, 0xFD, 0x7E, 0xFD, 0x7D, 0x07, 0xFB, 0xFE}},
    {{0x00, 0x00, 0x00}, {0xFF, 0x00, 0x00, 0x00, 0xFD, 0x7F, 0x00, 0xFE}},
    {{0x60, 0x00}, {0xFF, 0x60, 0x00, 0xDE, 0xC0, 0xFE}},
    {{0x2C, 0x00, 0x03, 0x00}, {0xFF, 0x2C, 0x00, 0x03, 0x00, 0x1A, 0xB6, 0xFE}},
};

// Feeds `wire` to a decoder in chunks of `chunk` bytes and returns the payloads of the
// good frames.
std::vector<Bytes> decodeChunked(FrameDecoder& decoder, const Bytes& wire, std::size_t chunk) {
  std::vector<Bytes> frames;
  for (std::size_t at = 0; at < wire.size(); at += chunk) {
    const std::size_t n = std::min(chunk, wire.size() - at);
    decoder.decodeBytes(wire.data() + at, n, [&](std::span<const uint8_t> content) {
      frames.emplace_back(content.begin(), content.end() - 2);
    });
  }
  return frames;
}

std::vector<Bytes> decode(const Bytes& wire) {
  FrameDecoder decoder;
  return decodeChunked(decoder, wire, wire.size() + 1);
}

Bytes concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace

TEST(FrameCodec, EncodesTheExamples) {
  for (const Example& e : kExamples) EXPECT_EQ(encodeFrame(e.payload), e.wire);
}

TEST(FrameCodec, RawEncoderWritesCheckBytesBehindThePayload) {
  uint8_t buffer[5] = {0x01, 0x02, 0x03, 0x55, 0x55};
  uint8_t transmit[kMaxFrameBytes];
  ASSERT_EQ(encodeFrame(buffer, 3, transmit), 7);
  EXPECT_EQ(buffer[3], 0xEF);
  EXPECT_EQ(buffer[4], 0x0A);
  EXPECT_EQ(Bytes(transmit, transmit + 7), kExamples[0].wire);
}

TEST(FrameCodec, GoodContentSumsToFFFF) {
  EXPECT_TRUE(contentIsGood(Bytes{0x01, 0x02, 0x03, 0xEF, 0x0A}));
  EXPECT_TRUE(contentIsGood(Bytes{0xFF, 0x00}));  // empty payload
  EXPECT_FALSE(contentIsGood(Bytes{0x01, 0x02, 0x03, 0xEF, 0x0B}));
}

TEST(FrameCodec, LongestPayloadStaysWithinTheBound) {
  const Bytes payload(kMaxPayload, 0xFF);  // every content byte escaped
  const Bytes wire = encodeFrame(payload);
  EXPECT_LE(wire.size(), kMaxFrameBytes);
  EXPECT_EQ(wire.front(), kFrameStart);
  EXPECT_EQ(wire.back(), kFrameEnd);
}

TEST(FrameDecoder, DecodesTheExamplesInAnySplit) {
  for (const Example& e : kExamples) {
    for (std::size_t chunk = 1; chunk <= e.wire.size(); ++chunk) {
      FrameDecoder decoder;
      EXPECT_EQ(decodeChunked(decoder, e.wire, chunk), std::vector<Bytes>{e.payload})
          << "chunk " << chunk;
    }
    // Two chunks, split at every offset.
    for (std::size_t at = 0; at <= e.wire.size(); ++at) {
      FrameDecoder decoder;
      std::vector<Bytes> frames;
      auto sink = [&](std::span<const uint8_t> c) { frames.emplace_back(c.begin(), c.end() - 2); };
      decoder.decodeBytes(e.wire.data(), at, sink);
      decoder.decodeBytes(e.wire.data() + at, e.wire.size() - at, sink);
      EXPECT_EQ(frames, std::vector<Bytes>{e.payload}) << "split at " << at;
    }
  }
}

TEST(FrameDecoder, IgnoresNoiseAndResynchronises) {
  const Bytes good = kExamples[0].wire;
  EXPECT_EQ(decode(concat({0x00, 0x12, 0xFE, 0xFD, 0x7F}, good)), (std::vector<Bytes>{{1, 2, 3}}));
  EXPECT_EQ(decode(concat({0xFF, 0x01, 0x02}, good)), (std::vector<Bytes>{{1, 2, 3}}));
  EXPECT_EQ(decode(concat({0xFF, 0x01, 0xFD}, good)), (std::vector<Bytes>{{1, 2, 3}}));  // escape cancelled
  EXPECT_TRUE(decode({0xFF, 0xFE}).empty());
  EXPECT_TRUE(decode({0xFF, 0x00, 0xFE}).empty());  // a single content byte
  EXPECT_EQ(decode(concat(good, good)).size(), 2u);
}

TEST(FrameDecoder, EscapeSetsTheTopBitOfWhateverFollows) {
  // 0x81 and 0xFD travel plainly resp. as FD 7D; FD 01 and FD FD 7D must decode alike.
  Bytes wire = encodeFrame(Bytes{0x81, 0x10});
  ASSERT_EQ(wire[1], 0x81);
  wire[1] = 0x01;
  wire.insert(wire.begin() + 1, kEscape);
  EXPECT_EQ(decode(wire), (std::vector<Bytes>{{0x81, 0x10}}));

  wire = encodeFrame(Bytes{0xFD, 0x10});
  ASSERT_EQ(wire[1], kEscape);
  wire.insert(wire.begin() + 1, kEscape);  // FD FD 7D
  EXPECT_EQ(decode(wire), (std::vector<Bytes>{{0xFD, 0x10}}));
}

TEST(FrameDecoder, ChangedByteDropsTheFrameAndTheNextReusesTheSlot) {
  const Bytes payload{0x2C, 0x00, 0x03, 0x00};
  uint8_t content[6] = {0x2C, 0x00, 0x03, 0x00};
  uint8_t transmit[kMaxFrameBytes];
  encodeFrame(content, 4, transmit);  // fills in the check bytes
  for (std::size_t pos = 0; pos < 6; ++pos) {
    for (int value = 0; value < 256; ++value) {
      // 0x00 and 0xFF are the same number modulo 255: a swap of the two cannot be seen
      // by this checksum, on either side of the line.
      const bool swap00FF = (content[pos] == 0x00 && value == 0xFF) ||
                            (content[pos] == 0xFF && value == 0x00);
      if (value == content[pos] || swap00FF) continue;
      uint8_t changed[6];
      std::copy(content, content + 6, changed);
      changed[pos] = static_cast<uint8_t>(value);
      ReceiveRing ring;
      FrameDecoder decoder;
      auto store = [&](std::span<const uint8_t> c) { ring.store(c); };
      // The changed content goes on the wire as it is: encoding would mend the check.
      Bytes wire{kFrameStart};
      for (uint8_t b : changed) {
        if (b > 0xFC) wire.insert(wire.end(), {kEscape, static_cast<uint8_t>(b & 0x7F)});
        else wire.push_back(b);
      }
      wire.push_back(kFrameEnd);
      decoder.decodeBytes(wire.data(), wire.size(), store);
      ASSERT_EQ(ring.writeIndex(), 0) << "pos " << pos << " value " << value;
      const Bytes good = encodeFrame(payload);
      decoder.decodeBytes(good.data(), good.size(), store);
      ASSERT_EQ(ring.writeIndex(), 1);
      const auto slot = ring.slot(0);
      EXPECT_EQ(slot[0], 4);
      EXPECT_EQ(Bytes(slot.begin() + 1, slot.begin() + 5), payload);
    }
  }
}

TEST(FrameDecoder, ContentLongerThanASlotIsDroppedWithoutOverrun) {
  const Bytes fits(kMaxContent - 2, 0x41);      // 125 payload bytes: 127 content bytes
  const Bytes tooLong(kMaxContent - 1, 0x41);   // one more
  EXPECT_EQ(decode(encodeFrame(fits)), std::vector<Bytes>{fits});
  EXPECT_TRUE(decode(encodeFrame(tooLong)).empty());

  Bytes flood{kFrameStart};
  flood.insert(flood.end(), 1000, 0x42);
  flood.push_back(kFrameEnd);
  EXPECT_EQ(decode(concat(flood, kExamples[0].wire)), (std::vector<Bytes>{{1, 2, 3}}));
}

TEST(ReceiveRing, StoresLengthAndContentAndWrapsAfterEightSlots) {
  ReceiveRing ring;
  const Bytes content{0x01, 0x02, 0x03, 0xEF, 0x0A};
  for (int i = 0; i < 9; ++i) ring.store(content);
  EXPECT_EQ(ring.writeIndex(), 1);
  const auto slot = ring.take();
  EXPECT_EQ(slot[0], 3);
  EXPECT_EQ(Bytes(slot.begin() + 1, slot.begin() + 6), content);
  EXPECT_EQ(ring.readIndex(), 1);
  ring.resetIndices();
  EXPECT_EQ(ring.writeIndex(), 0);
  EXPECT_EQ(ring.readIndex(), 0);
}
