#include "config/signal_sequence.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using namespace trv810::config;

namespace {

using Slot = std::array<uint8_t, kSequenceSlotSize>;

Slot slotOf(std::vector<uint8_t> items) {
  Slot s;
  s.fill(0xFF);
  std::copy(items.begin(), items.end(), s.begin());
  return s;
}

// Parses `text`; the slot afterwards, or nothing when the text is invalid.
std::optional<Slot> parsed(std::string_view text) {
  Slot s{};
  if (!parseSignalSequence(text, s)) return std::nullopt;
  return s;
}

std::string repeat(std::string_view item, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += item;
  return text;
}

}  // namespace

TEST(SignalSequence, FormatsAndParsesTheExampleBothWays) {
  const Slot slot = slotOf({0x45, 0x0A, 0x85, 0x12, 0xC3});
  EXPECT_EQ(formatSignalSequence(slot), "ON05,OFF10,H0512,R03");
  EXPECT_EQ(parsed("ON05,OFF10,H0512,R03"), slot);
}

TEST(SignalSequence, ItemBytesAtTheLimits) {
  EXPECT_EQ(parsed("OFF00"), slotOf({0x00}));
  EXPECT_EQ(parsed("ON60"), slotOf({0x7C}));
  EXPECT_EQ(parsed("R60"), slotOf({0xFC}));
  EXPECT_EQ(parsed("H0599"), slotOf({0x85, 0x99}));
  EXPECT_EQ(parsed("H6000"), slotOf({0xBC, 0x00}));
}

TEST(SignalSequence, SeparatorsAreFreeOutsideItems) {
  const auto expected = slotOf({0x45, 0x0A});
  for (const char* text : {"ON05OFF10", " ,ON05 ,, OFF10, ", "ON05,OFF10"})
    EXPECT_EQ(parsed(text), expected) << text;
}

TEST(SignalSequence, RefusesInvalidTexts) {
  for (const char* text :
       {"",      " , ,",  "on05",  "ON05;OFF10", "ON 05",  "OFF5",        "ON5",  "ON123", "ON61",
        "R99",   "H6100", "H051A", "H05AB",      "H05,12", "ON05,OF",     "R1",   "H05",   "OF05",
        "OFX05", "OF",    "05",    "N05",        "F05",    "ON05\tOFF10", "ON05O"})
    EXPECT_FALSE(parsed(text)) << '"' << text << '"';
}

TEST(SignalSequence, AZeroCharacterEndsTheText) {
  EXPECT_EQ(parsed(std::string_view("ON05\0xyz", 8)), slotOf({0x45}));
  EXPECT_FALSE(parsed(std::string_view("\0ON05", 5)));
}

TEST(SignalSequence, AFailedParseLeavesWhatWasWrittenBeforeTheError) {
  Slot s{};
  EXPECT_FALSE(parseSignalSequence("ON05,R61", s));
  EXPECT_EQ(s, slotOf({0x45}));
}

// Reading stops once 18 bytes are written; what follows is never looked at.
TEST(SignalSequence, EighteenBytesEndTheReading) {
  const Slot eighteen = *parsed(repeat("ON01,", 18));
  for (std::size_t i = 0; i < 18; ++i) EXPECT_EQ(eighteen[i], 0x41) << i;
  EXPECT_EQ(eighteen[18], 0xFF);
  EXPECT_EQ(eighteen[19], 0xFF);
  EXPECT_EQ(formatSignalSequence(eighteen), repeat("ON01,", 17) + "ON01");

  EXPECT_EQ(parsed(repeat("ON01,", 18) + "ON02"), eighteen);
  EXPECT_EQ(parsed(repeat("ON01", 18) + "garbage; and more"), eighteen);
  EXPECT_FALSE(parsed(repeat("R01,", 17) + "H0512"));  // the value byte has no room

  const auto full = parsed(repeat("R01,", 16) + "H0512");
  ASSERT_TRUE(full);
  EXPECT_EQ((*full)[16], 0x85);
  EXPECT_EQ((*full)[17], 0x12);
}

TEST(SignalSequence, FormatsWhatTheParserNeverWrites) {
  EXPECT_EQ(formatSignalSequence(slotOf({})), "");
  EXPECT_EQ(formatSignalSequence(slotOf({0x7F})), "ON63");
  EXPECT_EQ(formatSignalSequence(slotOf({0x85, 0x1A})), "H051A");
  EXPECT_FALSE(parsed("ON63"));
  EXPECT_FALSE(parsed("H051A"));
  // An H item in byte 17 takes its value byte from byte 18; byte 19 is never read.
  Slot s;
  s.fill(0x41);
  s[17] = 0x85;
  s[18] = 0x12;
  s[19] = 0x00;
  EXPECT_EQ(formatSignalSequence(s), repeat("ON01,", 17) + "H0512");
}

TEST(SignalSequence, TheLongestTextFitsTheBuffer) {
  Slot s;
  s.fill(0x3F);  // eighteen OFF63 items
  const std::string text = formatSignalSequence(s);
  EXPECT_EQ(text.size(), 107u);
  EXPECT_LT(text.size(), kSequenceTextSize);
}
