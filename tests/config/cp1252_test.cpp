#include "config/cp1252.h"

#include <gtest/gtest.h>

using namespace trv810::config;

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const Cp1252Conversion back = utf8ToCp1252(cp1252ToUtf8(all));
  EXPECT_TRUE(back.complete);
  EXPECT_EQ(back.bytes, all);
}

TEST(Cp1252, ConvertsTheTypographicBlockAndLatin1) {
  EXPECT_EQ(cp1252ToUtf8("\x80\x9F\xFC\xDF"), "€Ÿüß");
  EXPECT_EQ(cp1252ToUtf8("\x81\x8D"), "\u0081\u008D");
  EXPECT_EQ(utf8ToCp1252("Süd €5 „x“").bytes,
            "S\xFC"
            "d \x80"
            "5 \x84x\x93");
}

TEST(Cp1252, ReportsCharactersTheCodePageLacks) {
  const Cp1252Conversion r = utf8ToCp1252("ab\u03A9c\u20AC");  // Omega has no byte
  EXPECT_FALSE(r.complete);
  EXPECT_EQ(r.firstBadOffset, 2u);
  EXPECT_EQ(r.bytes, "ab?c\x80");
  for (const char* bad :
       {"\xC3", "\xC3(", "\xE2\x82", "\xC0\x80", "\xED\xA0\x80", "\xF0\x9F\x98\x80", "\xFF"}) {
    const Cp1252Conversion b = utf8ToCp1252(bad);
    EXPECT_FALSE(b.complete) << bad;
    EXPECT_EQ(b.firstBadOffset, 0u);
  }
  EXPECT_EQ(utf8ToCp1252("\xC3(").bytes, "?(");
}
