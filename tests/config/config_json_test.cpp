#include "config/config_json.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "config/offline_config.h"
#include "config/signal_sequence.h"

using namespace trv810::config;

namespace {

// A valid sequence text of random items, at most 18 bytes.
std::string randomSequence(std::mt19937& rng) {
  std::uniform_int_distribution<int> number(0, 60), digit(0, 9), kind(0, 3);
  std::string text;
  for (int bytes = 0, items = 1 + static_cast<int>(rng() % 12); items > 0; --items) {
    const int k = kind(rng);
    if (bytes + (k == 3 ? 2 : 1) > static_cast<int>(kSequenceCodeBytes)) break;
    char item[8];
    const int n = number(rng);
    if (k == 3) {
      std::snprintf(item, sizeof item, "H%.2d%d%d", n, digit(rng), digit(rng));
    } else {
      std::snprintf(item, sizeof item, "%s%.2d", k == 0 ? "ON" : k == 1 ? "OFF" : "R", n);
    }
    text += (text.empty() ? "" : ",") + std::string(item);
    bytes += k == 3 ? 2 : 1;
  }
  return text;
}

// A configuration that "TRV programmieren" would send unchanged: what the checks look
// at is valid, and what they leave alone (inactive rows, sequences of rows without the
// siren relay) holds anything a field can show, including never-filled and ended slots.
ConfigImage randomValidImage(std::mt19937& rng) {
  ConfigImage image;
  image.setActiveMask(static_cast<uint32_t>(rng()));
  image.setSirenMask(static_cast<uint32_t>(rng()));
  for (int j = 0; j < kRelayCount; ++j) image.setRelayMask(j, static_cast<uint32_t>(rng()));
  for (int r = 0; r < kRowCount; ++r) {
    if (image.active(r)) {
      image.setAddress(r, 8 + static_cast<uint32_t>(rng() % 2047986));
      image.setFunctionIndex(r, static_cast<uint8_t>(rng() % 4));
    } else {
      image.setAddress(r, rng() % 3 == 0 ? 0 : static_cast<uint32_t>(rng()));
      image.setFunctionIndex(r, static_cast<uint8_t>(rng()));
    }
    const SequenceSlot slot = image.sequence(r);
    switch (image.active(r) && image.siren(r) ? 0 : rng() % 3) {
      case 0: parseSignalSequence(randomSequence(rng), slot); break;
      case 1: std::ranges::fill(slot, uint8_t{0xFF}); break;
      default: break;  // never filled: zero
    }
  }
  for (int j = 0; j < kRelayCount; ++j) image.setSwitchOnTime(j, static_cast<uint16_t>(1 + rng() % 65000));
  parseSignalSequence(randomSequence(rng), image.manualSequence());
  image.setDeadTime(static_cast<uint16_t>(1 + rng() % 254));
  image.setAlarmInterval(static_cast<uint16_t>(1 + rng() % 254));
  const std::size_t identLength = rng() % (kIdentSize + 1);
  for (std::size_t i = 0; i < identLength; ++i) image.identText()[i] = static_cast<uint8_t>(1 + rng() % 255);
  image.setFlags(static_cast<uint16_t>(rng()));
  return image;
}

}  // namespace

TEST(ConfigJson, ExportThenImportGivesTheSameBytesForRandomValidConfigurations) {
  std::mt19937 rng(810);
  for (int i = 0; i < 400; ++i) {
    const ConfigImage image = randomValidImage(rng);
    {  // The generator's promise: the form takes the configuration as it is.
      OfflineConfig form;
      form.image() = image;
      form.form().showImportedImage();
      ASSERT_TRUE(form.validate().ok()) << i;
      ASSERT_EQ(form.image(), image) << i;
    }
    const std::string text = exportJson(image, kCurrentFormat);
    const JsonImport back = importJson(text);
    ASSERT_TRUE(back.ok()) << i << ": " << back.error() << "\n" << text;
    ASSERT_EQ(back.formatIndex, kCurrentFormat);
    ASSERT_TRUE(std::ranges::equal(back.image.bytes(), image.bytes())) << i << "\n" << text;
  }
}

TEST(ConfigJson, ExportKeepsItsKeyOrderIndentationAndUtf8) {
  ConfigImage image;
  const std::string ident = "S\xFC" "d \x80";  // Windows-1252
  std::ranges::copy(ident, image.identText().begin());
  image.setFunctionIndex(1, 7);  // no letter: kept as its number
  const std::string text = exportJson(image, 2);
  EXPECT_TRUE(text.starts_with(
      "{\n  \"format\": 2,\n  \"rows\": [\n    {\n      \"active\": false,\n      \"address\": \"\",\n"
            "      \"function\": \"A\",\n      \"siren\": false,\n      \"sequence\": null,\n      \"relays\": {\n"))
      << text;
  EXPECT_NE(text.find("\"function\": 7,"), std::string::npos);
  EXPECT_NE(text.find("  \"general\": {\n    \"baudRate\": 512,\n    \"ident\": \"Süd €\",\n    \"switchOnTimes\": {\n"
                      "      \"K3\": 0,"),
            std::string::npos)
      << text;
  EXPECT_TRUE(text.ends_with("    \"deadTime\": 0,\n    \"alarmInterval\": 0,\n    \"reservedFlags\": 0\n  }\n}\n"))
      << text;
}

// Nesting beyond the document's four levels is refused while reading: the tree built
// of it was copied recursively, which overflowed the stack (on Linux at 50,000
// levels, on Windows' smaller stack at 20,000). So is anything after a zero byte,
// which the parser took for the end of the text.
TEST(ConfigJson, DeepNestingAndAZeroByteAreNoValidJson) {
  const std::string deep = "{\"x\":" + std::string(50'000, '[') + std::string(50'000, ']') + ",\"y\":1}";
  EXPECT_EQ(importJson(deep).error(), "kein gültiges JSON (Zeile 1, Spalte 9: mehr als 4 Ebenen verschachtelt)");
  EXPECT_EQ(importJson("{\"rows\": [{\"relays\": {\"K3\": []}}]}").error(),
            "kein gültiges JSON (Zeile 1, Spalte 29: mehr als 4 Ebenen verschachtelt)");
  const std::string text = exportJson(ConfigImage{}, kCurrentFormat);
  const auto lines = std::ranges::count(text, '\n');
  EXPECT_EQ(importJson(text + std::string(1, '\0') + "{}").error(),
            "kein gültiges JSON (Zeile " + std::to_string(lines + 1) + ", Spalte 1: Nullbyte)");
}
