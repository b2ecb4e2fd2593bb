#include "sim/unit.h"

#include <gtest/gtest.h>

#include "sim/sample_config.h"

namespace trv810::sim {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;
using Frames = std::vector<Outgoing>;

constexpr Micros kErase = 100ms;

UnitSettings settings() {
  UnitSettings s;
  s.eraseDelay = kErase;
  return s;
}

Bytes configWrite() { return {0x2A, 0, 0x03, 0x82, 0x03, 0, 0, 0, 0, 0, 0, 0}; }
Bytes firmwareWrite(std::size_t length) {
  const std::size_t blocks = length / 8;
  return {0x30, 0, static_cast<uint8_t>(blocks), static_cast<uint8_t>(blocks >> 8), 0, 0, 0, 0, 0, 0, 0, 0};
}

// The block frame a host sends: block `n` of `image`, padded with 0xFF.
Bytes blockFrame(uint8_t command, uint16_t n, const Bytes& image, std::size_t index) {
  Bytes f{command, 0, static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8)};
  for (std::size_t i = 0; i < 8; ++i) {
    const std::size_t at = index * 8 + i;
    f.push_back(at < image.size() ? image[at] : 0xFF);
  }
  return f;
}

Frames ackThen(Micros at, Bytes answer) { return {{0us, {0xF0, 0}}, {at, std::move(answer)}}; }

// Runs a whole download of `image` as the host does and returns the last step.
Step download(Unit& unit, const Bytes& request, uint8_t blockCommand, const Bytes& image) {
  EXPECT_EQ(unit.onFrame(request, 0us).frames, ackThen(kErase, {0x50, 0}));
  const std::size_t whole = image.size() / 8;
  for (std::size_t n = 0; n < whole; ++n)
    EXPECT_EQ(unit.onFrame(blockFrame(blockCommand, static_cast<uint16_t>(n), image, n), 0us).frames,
              ackThen(0us, {0x60, 0}));
  return unit.onFrame(blockFrame(blockCommand, kFinalBlock, image, whole), 0us);
}

Bytes patternImage(std::size_t size) {
  Bytes b(size);
  for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<uint8_t>(i * 7 + 3);
  return b;
}

TEST(UnitDownload, ConfigurationIsStoredAfterTheFinalBlock) {
  Unit unit(settings(), sampleConfig());
  const Bytes image = patternImage(kImageSize);
  const Step last = download(unit, configWrite(), 0x2B, image);
  EXPECT_EQ(last.frames, ackThen(0us, {0x60, 0}));
  EXPECT_EQ(last.completed, Completed::Config);
  EXPECT_EQ(Bytes(unit.configImage().begin(), unit.configImage().end()), image);
  EXPECT_EQ(unit.counters().configDownloads, 1u);
  EXPECT_EQ(unit.counters().blocksStored, 113u);
  EXPECT_EQ(unit.counters().eraseDelay, kErase);
}

TEST(UnitDownload, FirmwareKeepsItsLengthWhateverThePadding) {
  for (const std::size_t length : {std::size_t{20}, std::size_t{16}, std::size_t{0}}) {
    Unit unit(settings(), sampleConfig());
    const Bytes image = patternImage(length);
    EXPECT_EQ(download(unit, firmwareWrite(length), 0x31, image).completed, Completed::Firmware);
    EXPECT_EQ(unit.firmware(), image) << length;
  }
}

TEST(UnitDownload, BlockAheadIsAnsweredWithTheExpectedNumber) {
  Unit unit(settings(), sampleConfig());
  const Bytes image = patternImage(kImageSize);
  unit.onFrame(configWrite(), 0us);
  unit.onFrame(blockFrame(0x2B, 0, image, 0), 0us);
  EXPECT_EQ(unit.onFrame(blockFrame(0x2B, 5, image, 5), 0us).frames, ackThen(0us, {0x63, 0, 1, 0}));
  EXPECT_EQ(unit.counters().blocksStored, 1u);
  // A block sent again (its 60 was lost) is taken once more, and the count goes on from it.
  EXPECT_EQ(unit.onFrame(blockFrame(0x2B, 0, image, 0), 0us).frames, ackThen(0us, {0x60, 0}));
  EXPECT_EQ(unit.onFrame(blockFrame(0x2B, 2, image, 2), 0us).frames, ackThen(0us, {0x63, 0, 1, 0}));
}

TEST(UnitDownload, FinalBlockTooEarlyLeavesTheImage) {
  Unit unit(settings(), sampleConfig());
  unit.onFrame(configWrite(), 0us);
  const Step s = unit.onFrame(blockFrame(0x2B, kFinalBlock, patternImage(8), 0), 0us);
  EXPECT_EQ(s.frames, ackThen(0us, {0x62, 0}));
  EXPECT_EQ(s.completed, Completed::None);
  EXPECT_TRUE(std::ranges::equal(unit.configImage(), sampleConfig()));
}

TEST(UnitDownload, IncompatibleUnitAnswers51AndTakesNoBlock) {
  UnitSettings s = settings();
  s.incompatible = true;
  Unit unit(s, sampleConfig());
  EXPECT_EQ(unit.onFrame(configWrite(), 5ms).frames, (Frames{{5ms, {0xF0, 0}}, {5ms + kErase, {0x51, 0}}}));
  EXPECT_EQ(unit.onFrame(firmwareWrite(64), 0us).frames, ackThen(kErase, {0x51, 0}));
  EXPECT_EQ(unit.onFrame(blockFrame(0x31, 0, patternImage(8), 0), 0us).frames, ackThen(0us, {0x62, 0}));
}

TEST(UnitDownload, OldFirmwareRefusesTheCurrentConfigurationButTakesFirmware) {
  UnitSettings s = settings();
  s.formats = {2, 1};
  Unit unit(s, sampleConfig());
  EXPECT_EQ(unit.onFrame(configWrite(), 0us).frames, ackThen(kErase, {0x51, 0}));
  EXPECT_EQ(unit.onFrame(firmwareWrite(64), 0us).frames, ackThen(kErase, {0x50, 0}));
}

TEST(UnitDownload, OtherFramesAreAcknowledgedAndRefused) {
  Unit unit(settings(), sampleConfig());
  EXPECT_EQ(unit.onFrame(Bytes{0x77, 0}, 0us).frames, ackThen(0us, {0x62, 0}));
  EXPECT_EQ(unit.onFrame(blockFrame(0x2B, 0, patternImage(8), 0), 0us).frames, ackThen(0us, {0x62, 0}));
  EXPECT_TRUE(unit.onFrame(Bytes{0x60, 0}, 0us).frames.empty());  // no upload runs
}

// The host's side of an upload: 60 after every block; returns the blocks' data and
// checks their numbering.
Bytes upload(Unit& unit, int format, std::size_t blocks) {
  const Step accept = unit.onFrame(Bytes{0x2C, 0, static_cast<uint8_t>(format), 0}, 0us);
  EXPECT_EQ(accept.frames.size(), 2u);
  const Bytes& a = accept.frames.at(0).payload;
  EXPECT_EQ(a.at(0), 0xF0);
  EXPECT_GE(a.size(), 15u);  // 13 bytes from byte 2 on
  EXPECT_EQ(a.at(2), 0x17);
  EXPECT_EQ(a.at(3), format);
  Bytes data;
  Outgoing block = accept.frames.at(1);
  for (std::size_t n = 0; n < blocks; ++n) {
    const Bytes& b = block.payload;
    EXPECT_EQ(b.size(), 13u);
    EXPECT_EQ(b.at(0), 0x2C);
    EXPECT_EQ(b.at(2), 0x17);
    const uint16_t number = static_cast<uint16_t>(b.at(3) | b.at(4) << 8);
    EXPECT_EQ(number, n + 1 == blocks ? kFinalBlock : n);
    data.insert(data.end(), b.begin() + 5, b.end());
    const Step next = unit.onFrame(Bytes{0x60, 0}, 0us);
    if (n + 1 == blocks) {
      EXPECT_TRUE(next.frames.empty());
      EXPECT_EQ(next.completed, Completed::Upload);
    } else {
      EXPECT_EQ(next.frames.size(), 1u);
      if (next.frames.empty()) break;
      block = next.frames[0];
    }
  }
  return data;
}

struct FormatCase {
  int format;
  std::size_t size;
  std::size_t blocks;
};

class UnitUpload : public ::testing::TestWithParam<FormatCase> {};

TEST_P(UnitUpload, SendsImageSumComplementAndPadding) {
  const FormatCase c = GetParam();
  for (const bool bad : {false, true}) {
    UnitSettings s = settings();
    s.badChecksum = bad;
    Unit unit(s, sampleConfig());
    const Bytes data = upload(unit, c.format, c.blocks);
    ASSERT_EQ(data.size(), c.blocks * 8);
    const Bytes image = imageInFormat(sampleConfig(), c.format);
    ASSERT_EQ(image.size(), c.size);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), data.begin()));
    unsigned sum = 0;
    for (uint8_t b : image) sum += b;
    EXPECT_EQ(data[c.size], static_cast<uint8_t>(sum + (bad ? 1 : 0)));
    EXPECT_EQ(data[c.size + 1], static_cast<uint8_t>(0xFF - (sum & 0xFF)));
    for (std::size_t i = c.size + 2; i < data.size(); ++i) EXPECT_EQ(data[i], 0xFF) << i;
    EXPECT_EQ(unit.counters().uploads, 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, UnitUpload,
                         ::testing::Values(FormatCase{3, 898, 113}, FormatCase{2, 568, 72},
                                           FormatCase{1, 522, 66}));

uint16_t blockNumber(const Step& s) {
  return static_cast<uint16_t>(s.frames.at(0).payload.at(3) | s.frames.at(0).payload.at(4) << 8);
}

TEST(UnitUploadAnswers, SendsAgainFromTheRequestedBlock) {
  Unit unit(settings(), sampleConfig());
  unit.onFrame(Bytes{0x2C, 0, 3, 0}, 0us);
  for (int n = 0; n < 4; ++n) unit.onFrame(Bytes{0x60, 0}, 0us);  // block 4 is in flight
  EXPECT_EQ(blockNumber(unit.onFrame(Bytes{0x63, 0, 2, 0}, 0us)), 2);
  EXPECT_EQ(blockNumber(unit.onFrame(Bytes{0x60, 0}, 0us)), 3);
  // Asked for the block already in flight: it is on its way, nothing goes out twice.
  EXPECT_TRUE(unit.onFrame(Bytes{0x63, 0, 3, 0}, 0us).frames.empty());
  // Beyond the end: the final block.
  EXPECT_EQ(blockNumber(unit.onFrame(Bytes{0x63, 0, 0x00, 0x10}, 0us)), kFinalBlock);
}

TEST(UnitUploadAnswers, SendsTheBlockAgainWhenNoAnswerComes) {
  UnitSettings s = settings();
  s.uploadResendLimit = 2;
  Unit unit(s, sampleConfig());
  unit.onFrame(Bytes{0x2C, 0, 3, 0}, 10ms);
  ASSERT_EQ(unit.deadline(), 610ms);
  EXPECT_TRUE(unit.onDeadline(609ms).frames.empty());
  const Step again = unit.onDeadline(610ms);
  EXPECT_EQ(blockNumber(again), 0);
  EXPECT_EQ(unit.deadline(), 1210ms);
  EXPECT_EQ(blockNumber(unit.onDeadline(1210ms)), 0);
  // The host has gone: after the limit the unit gives up.
  EXPECT_TRUE(unit.onDeadline(1810ms).frames.empty());
  EXPECT_FALSE(unit.deadline());
  EXPECT_EQ(unit.counters().uploadResends, 2u);
}

TEST(UnitUploadAnswers, RefusesFormatsItDoesNotDeliver) {
  UnitSettings s = settings();
  s.formats = {2, 1};
  s.firmwareVersion = 0x12;
  Unit unit(s, sampleConfig());
  EXPECT_EQ(unit.onFrame(Bytes{0x2C, 0, 3, 0}, 0us).frames, (Frames{{0us, {0xF5, 0, 0x12}}}));
  EXPECT_FALSE(unit.deadline());
  EXPECT_EQ(unit.onFrame(Bytes{0x2C, 0, 2, 0}, 0us).frames.size(), 2u);
}

TEST(UnitUploadAnswers, IncompatibleRefusesEveryFormat) {
  UnitSettings s = settings();
  s.incompatible = true;
  Unit unit(s, sampleConfig());
  for (uint8_t f : {3, 2, 1, 0}) EXPECT_EQ(unit.onFrame(Bytes{0x2C, 0, f, 0}, 0us).frames, (Frames{{0us, {0xF5, 0, 0x17}}}));
}

// Units that keep answering without getting anywhere, which only the host's overall
// time limit ends.
TEST(UnitNeverDelivering, ChattersSendsTheWrongBlockOrRestartsTheDownload) {
  UnitSettings chatter = settings();
  chatter.chatter = true;
  Unit a(chatter, sampleConfig());
  EXPECT_EQ(a.onFrame(Bytes{0x2C, 0, 3, 0}, 10ms).frames.size(), 1u);  // the accept, no block
  EXPECT_EQ(a.deadline(), 110ms);
  EXPECT_EQ(a.onDeadline(110ms).frames, (Frames{{110ms, {0xF0, 0}}}));
  EXPECT_EQ(a.onDeadline(210ms).frames, (Frames{{210ms, {0xF0, 0}}}));

  UnitSettings wrong = settings();
  wrong.wrongBlock = true;
  Unit b(wrong, sampleConfig());
  const Step accepted = b.onFrame(Bytes{0x2C, 0, 3, 0}, 0us);
  ASSERT_EQ(accepted.frames.size(), 2u);
  EXPECT_EQ(accepted.frames[1].payload.at(3), 1);  // block 0 numbered 1
  EXPECT_EQ(blockNumber(b.onFrame(Bytes{0x63, 0, 0, 0}, 0us)), 1);  // at once, and again so

  UnitSettings restart = settings();
  restart.restartDownload = true;
  Unit c(restart, sampleConfig());
  c.onFrame(configWrite(), 0us);
  const Bytes image = patternImage(kImageSize);
  EXPECT_EQ(c.onFrame(blockFrame(0x2B, 0, image, 0), 0us).frames, ackThen(0us, {0x63, 0, 0, 0}));
  EXPECT_EQ(c.onFrame(blockFrame(0x2B, kFinalBlock, image, 0), 0us).frames, ackThen(0us, {0x63, 0, 0, 0}));
  EXPECT_EQ(c.counters().configDownloads, 0u);
}

TEST(UnitSilent, NeverAnswers) {
  UnitSettings s = settings();
  s.silent = true;
  Unit unit(s, sampleConfig());
  for (const Bytes& f : {configWrite(), firmwareWrite(8), Bytes{0x2C, 0, 3, 0}, Bytes{0x60, 0}, Bytes{0x77}})
    EXPECT_TRUE(unit.onFrame(f, 0us).frames.empty());
  EXPECT_FALSE(unit.deadline());
}

}  // namespace
}  // namespace trv810::sim
