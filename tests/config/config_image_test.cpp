#include "config/config_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

using namespace trv810::config;

namespace {

// An image whose every byte differs from its neighbours, so a wrong offset shows.
std::vector<uint8_t> pattern(std::size_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7 + i / 256);
  return bytes;
}

std::vector<uint8_t> withCheckBytes(std::vector<uint8_t> image) {
  const auto check = uploadCheckBytes(image);
  image.push_back(check[0]);
  image.push_back(check[1]);
  return image;
}

}  // namespace

TEST(ConfigImage, FieldsAreLittleEndianAtTheirOffsets) {
  ConfigImage image;
  image.setAddress(31, 2047993);  // 0x1F3FF9
  image.setFunctionIndex(2, 3);
  image.setActive(0, true);
  image.setActive(31, true);
  image.setSiren(5, true);
  image.setRelayOn(7, 1, true);
  image.setSwitchOnTime(7, 65000);  // 0xFDE8
  image.setDeadTime(254);
  image.setAlarmInterval(0x0102);
  image.setFlags(0x80FF);
  const auto b = image.bytes();
  EXPECT_EQ((std::vector<uint8_t>{b[124], b[125], b[126], b[127]}),
            (std::vector<uint8_t>{0xF9, 0x3F, 0x1F, 0}));
  EXPECT_EQ(b[130], 3);
  EXPECT_EQ(b[160], 0x01);
  EXPECT_EQ(b[163], 0x80);
  EXPECT_EQ(b[164], 0x20);
  EXPECT_EQ(b[196], 0x02);  // relayMask[7] = K10, row 1
  EXPECT_EQ(b[854], 0xE8);
  EXPECT_EQ(b[855], 0xFD);
  EXPECT_EQ(b[876], 254);
  EXPECT_EQ(b[878], 0x02);
  EXPECT_EQ(b[879], 0x01);
  EXPECT_EQ(b[896], 0xFF);
  EXPECT_EQ(b[897], 0x80);
  image.sequence(31)[19] = 0xAB;
  image.manualSequence()[0] = 0xCD;
  image.identText()[15] = 'x';
  EXPECT_EQ(b[200 + 31 * 20 + 19], 0xAB);
  EXPECT_EQ(b[856], 0xCD);
  EXPECT_EQ(b[895], 'x');
  EXPECT_EQ(image.address(31), 2047993u);
  EXPECT_TRUE(image.relayOn(7, 1));
  EXPECT_FALSE(image.relayOn(6, 1));
  image.clear();
  EXPECT_TRUE(std::ranges::all_of(image.bytes(), [](uint8_t v) { return v == 0; }));
}

TEST(ConfigImage, ImageSizeOfEachFormatIndex) {
  EXPECT_EQ(imageSize(1), 522u);
  EXPECT_EQ(imageSize(2), 568u);
  EXPECT_EQ(imageSize(3), 898u);
  for (int v : {-1, 0, 4, 255}) EXPECT_EQ(imageSize(v), 0u) << v;
}

TEST(ConfigImage, AcceptsTheCurrentFormatOnlyWithBothCheckBytesRight) {
  const auto received = withCheckBytes(pattern(kImageSize, 1));
  for (std::size_t at : {kImageSize, kImageSize + 1}) {
    for (int delta : {-1, 1}) {
      auto bad = received;
      bad[at] = static_cast<uint8_t>(bad[at] + delta);
      ConfigImage image;
      image.setDeadTime(77);
      const ConfigImage before = image;
      EXPECT_EQ(acceptImage(image, 3, bad), Acceptance::Refused) << at << " " << delta;
      EXPECT_EQ(image, before);
    }
  }
  ConfigImage image;
  EXPECT_EQ(acceptImage(image, 3, received), Acceptance::Current);
  EXPECT_TRUE(std::ranges::equal(image.bytes(), std::span(received).first(kImageSize)));
}

TEST(ConfigImage, RefusesUnknownFormatsAndTooFewBytes) {
  ConfigImage image;
  const std::vector<uint8_t> zeroSum{0x00, 0xFF};  // a valid sum over no bytes
  EXPECT_EQ(acceptImage(image, 0, zeroSum), Acceptance::Refused);
  EXPECT_EQ(acceptImage(image, 4, zeroSum), Acceptance::Refused);
  auto received = withCheckBytes(pattern(kImageSize, 3));
  received.pop_back();
  EXPECT_EQ(acceptImage(image, 3, received), Acceptance::Refused);
  EXPECT_EQ(image, ConfigImage{});
}

TEST(ConfigImage, Format2IsConvertedFieldByField) {
  const auto old = pattern(kFormat2Size, 9);
  ConfigImage image;
  image.setDeadTime(1234);  // nothing of the previous image may survive
  ASSERT_EQ(acceptImage(image, 2, withCheckBytes(old)), Acceptance::Older);
  const auto b = image.bytes();
  EXPECT_TRUE(std::equal(old.begin(), old.begin() + 200, b.begin()));
  for (int r = 0; r < kRowCount; ++r) {
    const auto slot = image.sequence(r);
    EXPECT_TRUE(std::equal(slot.begin(), slot.begin() + 10, old.begin() + 200 + 10 * r)) << r;
    EXPECT_TRUE(std::all_of(slot.begin() + 10, slot.end(), [](uint8_t v) { return v == 0xFF; })) << r;
  }
  EXPECT_TRUE(std::equal(old.begin() + 520, old.begin() + 536, b.begin() + 840));
  const auto manual = image.manualSequence();
  EXPECT_TRUE(std::equal(manual.begin(), manual.begin() + 10, old.begin() + 536));
  EXPECT_TRUE(std::all_of(manual.begin() + 10, manual.end(), [](uint8_t v) { return v == 0xFF; }));
  EXPECT_TRUE(std::equal(old.begin() + 546, old.end(), b.begin() + 876));
}

TEST(ConfigImage, Format2ImportMayReadFromTheImageItself) {
  ConfigImage image;
  const auto old = pattern(kFormat2Size, 5);
  std::ranges::copy(old, image.bytes().begin());
  ConfigImage expected;
  ASSERT_TRUE(importImage(expected, 2, old));
  ASSERT_TRUE(importImage(image, 2, image.bytes()));
  EXPECT_EQ(image, expected);
}

TEST(ConfigImage, Format1EmptiesTheSequencesAndKeepsEverythingElse) {
  ConfigImage image;
  std::ranges::copy(pattern(kImageSize, 11), image.bytes().begin());
  const ConfigImage before = image;
  ASSERT_EQ(acceptImage(image, 1, withCheckBytes(pattern(kFormat1Size, 2))), Acceptance::Older);
  for (std::size_t i = 0; i < kImageSize; ++i) {
    const bool inSequences = i >= 200 && i < 840;
    EXPECT_EQ(image.bytes()[i], inSequences ? 0xFF : before.bytes()[i]) << i;
  }
}
