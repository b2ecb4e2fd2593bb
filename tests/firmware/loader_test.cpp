#include "firmware/flash_loader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "hex_files.h"
#include "loader_fixture.h"

using namespace trv810::firmware;
using namespace trv810::firmware::test;

namespace {

std::string withLineEnd(std::string text, const std::string& end) {
  for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += end.size())
    text.replace(at, 2, end);
  return text;
}

const std::string kSmallHex = data(0x0000, {0x11, 0x22, 0x33}) + kEnd;


TEST_F(Loader, OnlyTheFourExactEndingsOfTheTitleAreAccepted) {
  for (const char* title : {"fw.hex", "FW.HEX"}) {
    EXPECT_TRUE(load(title, kSmallHex)) << title;
    EXPECT_EQ(image.length(), 3u);
  }
  for (const char* title : {"fw.bin", "FW.BIN"}) {
    EXPECT_TRUE(load(title, "abcde")) << title;
    EXPECT_EQ(image.length(), 5u);
  }
  for (const char* title : {"fw.Hex", "fw.BiN", "fw.h86", "fw.txt", "hex", ""})
    EXPECT_EQ(load(title, kSmallHex).error, LoadError::kBadExtension) << title;
  // Only the title decides; the path is used for opening alone.
  const std::string path = dir.write("firmware.txt", kSmallHex);
  EXPECT_TRUE(loadFlashImage(image, path, "fw.hex"));
  EXPECT_EQ(loadFlashImage(image, (dir.path / "missing").string(), "fw.txt").error, LoadError::kBadExtension);
  EXPECT_EQ(loadFlashImage(image, (dir.path / "missing").string(), "fw.hex").error, LoadError::kCannotOpen);
}

TEST_F(Loader, EveryAttemptClearsTheHexWindowButAFailureKeepsTheLength) {
  ASSERT_TRUE(load("fw.bin", std::string(FlashImage::kHexWindow + 16, '\x42')));
  ASSERT_EQ(image.length(), FlashImage::kHexWindow + 16);
  EXPECT_FALSE(load("fw.txt", kSmallHex));
  EXPECT_TRUE(windowIsBlank());
  EXPECT_EQ(image.length(), FlashImage::kHexWindow + 16);
  EXPECT_EQ(at(FlashImage::kHexWindow, 16), std::vector<uint8_t>(16, 0x42));  // beyond the window: untouched
}

TEST_F(Loader, LinesMustEndInCrLfAndUseUpperCaseDigits) {
  const std::string lines = data(0x0000, {0xAB, 0xCD}) + data(0x0002, {0xEF}) + kEnd;
  EXPECT_TRUE(load("fw.hex", lines));
  EXPECT_EQ(at(0, 3), (std::vector<uint8_t>{0xAB, 0xCD, 0xEF}));
  // LF alone runs the lines together: said as the CR that is missing, not as a line
  // without its end.
  const LoadResult lf = load("fw.hex", withLineEnd(lines, "\n"));
  EXPECT_EQ(describe(lf), "Zeile 1: die Zeile endet mit LF ohne CR davor (HEX-Zeilen enden mit CR LF)");
  EXPECT_EQ(load("fw.hex", withLineEnd(lines, "\n") + std::string(600, '0')).error, LoadError::kBareLineFeed);
  EXPECT_EQ(load("fw.hex", withLineEnd(lines, "\r")).error, LoadError::kEndInsideLine);
  const LoadResult lower = load("fw.hex", data(0x0000, {0x01}) + ":02000000abcd86\r\n" + kEnd);
  EXPECT_EQ(lower.error, LoadError::kBadDigit);
  EXPECT_EQ(lower.line, 2u);
  EXPECT_EQ(lower.column, 10u);
  EXPECT_EQ(describe(lower), "Zeile 2, Spalte 10: 'a' ist keine Hex-Ziffer (erlaubt: 0-9 und A-F, groß)");
  EXPECT_EQ(load("fw.hex", "\r\n" + kSmallHex).error, LoadError::kNoColon);
  EXPECT_EQ(load("fw.hex", ":0100000011EF\r\n" + kEnd).error, LoadError::kBadChecksum);
  EXPECT_EQ(load("fw.hex", ":\r\n").error, LoadError::kBadChecksum);
  EXPECT_EQ(load("fw.hex", ":000000\r\n").error, LoadError::kTooShort);
}

TEST_F(Loader, TheFirstLinearAddressAndFirstDataRecordFixTheOrigin) {
  const std::vector<uint8_t> first(16, 0x01), second{0x02, 0x03};
  ASSERT_TRUE(load("fw.hex", ":020000040800F2\r\n" + data(0x0000, first) + data(0x0010, second) + kEnd));
  EXPECT_EQ(at(0, 16), first);
  EXPECT_EQ(at(0x10, 2), second);
  EXPECT_EQ(image.length(), 0x12u);

  // Without an address record the first data record's address maps to offset 0, and
  // data below it is dropped.
  ASSERT_TRUE(load("fw.hex", data(0x0100, {0xA1}) + data(0x0080, {0xB2}) + data(0x0180, {0xC3}) + kEnd));
  EXPECT_EQ(at(0, 1), std::vector<uint8_t>{0xA1});
  EXPECT_EQ(at(0x80, 1), std::vector<uint8_t>{0xC3});
  EXPECT_EQ(std::count(image.buffer().begin(), image.buffer().begin() + 0x80000, 0xB2), 0);
  EXPECT_EQ(image.length(), 0x81u);
}

// Data outside the image is still left out, and now counted, so the user hears of it:
// a byte below the first address, two 0x80000 above it, two of a record that runs
// over the end.
TEST_F(Loader, DataLeftOutOfTheImageIsCounted) {
  const LoadResult r = load("fw.hex", record(0x04, 0, {0x00, 0x00}) + data(0x0100, {0xA1}) + data(0x0080, {0xB2}) +
                                          record(0x04, 0, {0x00, 0x08}) + data(0x0100, {0xC3, 0xC4}) +
                                          data(0x00FE, {0xD5, 0xD6, 0xD7, 0xD8}) + kEnd);
  ASSERT_TRUE(r) << describe(r);
  EXPECT_EQ(r.bytesLeftOut, 5u);
  EXPECT_EQ(at(0x7FFFE, 2), (std::vector<uint8_t>{0xD5, 0xD6}));
  EXPECT_EQ(loadWarning(r), "Warnung: 5 Bytes der HEX-Datei außerhalb des Abbilds weggelassen !");
  EXPECT_EQ(loadWarning(load("fw.hex", kSmallHex)), "");
}

TEST_F(Loader, AddressRecordsMoveTheBaseAsTheirTypeSays) {
  // Type 02 moves the base, never the origin.
  ASSERT_TRUE(load("fw.hex", data(0x0000, {0x01}) + record(0x02, 0, {0x10, 0x00}) + data(0x0000, {0x02}) + kEnd));
  EXPECT_EQ(at(0x10000, 1), std::vector<uint8_t>{0x02});
  // A second type-04 record moves the base; the origin stays with the first.
  ASSERT_TRUE(load("fw.hex", record(0x04, 0, {0x00, 0x01}) + data(0x8000, {0x01}) +
                                 record(0x04, 0, {0x00, 0x02}) + data(0x8000, {0x02}) + kEnd));
  EXPECT_EQ(at(0x10000, 1), std::vector<uint8_t>{0x02});
  // Type 05 sets the base (and, as the first address record, the origin) to its value.
  ASSERT_TRUE(load("fw.hex", record(0x05, 0, {0x00, 0x01, 0x00, 0x20}) + data(0x0000, {0x05}) +
                                 record(0x03, 0, {0x10, 0x00, 0x01, 0x20}) + data(0x0000, {0x06}) + kEnd));
  EXPECT_EQ(at(0, 1), std::vector<uint8_t>{0x05});
  EXPECT_EQ(at(0x100, 1), std::vector<uint8_t>{0x06});  // 0x1000 * 16 + 0x120 - 0x10020
}

TEST_F(Loader, TheDataAreWhatTheLineHoldsWhateverTheByteCountSays) {
  ASSERT_TRUE(load("fw.hex", record(0x00, 0x0000, {0x5A, 0x6B}, 5) + kEnd));
  EXPECT_EQ(image.length(), 2u);
  EXPECT_EQ(at(0, 2), (std::vector<uint8_t>{0x5A, 0x6B}));
}

TEST_F(Loader, TheBlankAreaIsAlwaysFFAndTrailingFFIsTrimmed) {
  const std::vector<uint8_t> fill(32, 0x00);
  std::string hex = data(0x0000, {0x01});
  for (uint16_t a = 0x7800; a < 0x8000; a += 32) hex += data(a, fill);
  ASSERT_TRUE(load("fw.hex", hex + kEnd));
  EXPECT_EQ(at(0x7800, 0x800), std::vector<uint8_t>(0x800, 0xFF));
  EXPECT_EQ(image.length(), 1u);
  ASSERT_TRUE(load("fw.hex", hex + data(0x8000, {0x01}) + kEnd));
  EXPECT_EQ(at(0x7800, 0x800), std::vector<uint8_t>(0x800, 0xFF));
  EXPECT_EQ(image.length(), 0x8001u);
}

TEST_F(Loader, AnImageWithoutOtherBytesThanFFFails) {
  EXPECT_EQ(load("fw.hex", data(0x0000, std::vector<uint8_t>(16, 0xFF)) + kEnd).error, LoadError::kBlankImage);
  EXPECT_EQ(load("fw.hex", record(0x04, 0, {0x08, 0x00}) + kEnd).error, LoadError::kBlankImage);
  EXPECT_EQ(load("fw.hex", data(0, {0xFF}) + data(0x7800, {0x01}) + kEnd).error, LoadError::kBlankImage);
}

TEST_F(Loader, TheEndRecordIsRequiredAndEndsTheReading) {
  const LoadResult noEnd = load("fw.hex", kSmallHex.substr(0, kSmallHex.size() - kEnd.size()));
  EXPECT_EQ(noEnd.error, LoadError::kNoEndRecord);
  EXPECT_EQ(load("fw.hex", data(0x0000, {0x01}) + ":00000001FF").error, LoadError::kEndInsideLine);
  EXPECT_TRUE(load("fw.hex", kSmallHex + "garbage after the end\n"));
}

TEST_F(Loader, AHexLoadLeavesARawCopyThatLoadsToTheSameImage) {
  std::string hex = record(0x04, 0, {0x00, 0x01});
  for (uint16_t a = 0; a < 0x400; a += 16) hex += data(a, std::vector<uint8_t>(16, static_cast<uint8_t>(a >> 4)));
  const LoadResult loaded = load("MAIN.HEX", hex + data(0x400, {0x77, 0xFF, 0xFF}) + kEnd);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded.rawCopyPath, (dir.path / "MAIN.bin").string());
  EXPECT_TRUE(loaded.rawCopy);
  const std::vector<uint8_t> first(image.image().begin(), image.image().end());
  EXPECT_EQ(first.size(), 0x401u);
  EXPECT_EQ(slurp(dir.path / "MAIN.bin"), std::string(first.begin(), first.end()));
  ASSERT_TRUE(loadFlashImage(image, loaded.rawCopyPath, "MAIN.bin"));
  EXPECT_EQ(std::vector<uint8_t>(image.image().begin(), image.image().end()), first);
  // A load that checks only writes nothing.
  std::filesystem::remove(dir.path / "MAIN.bin");
  ASSERT_TRUE(loadFlashImage(image, (dir.path / "MAIN.HEX").string(), "MAIN.HEX", {.writeRawCopy = false}));
  EXPECT_FALSE(std::filesystem::exists(dir.path / "MAIN.bin"));
}

TEST_F(Loader, AFailedHexLoadWritesNoRawCopyAndKeepsTheLength) {
  ASSERT_TRUE(load("old.bin", "1234567"));
  EXPECT_FALSE(load("fw.hex", data(0x0000, {0x01}) + record(0x06, 0, {}) + kEnd));
  EXPECT_EQ(image.length(), 7u);
  EXPECT_FALSE(std::filesystem::exists(dir.path / "fw.bin"));
}

TEST_F(Loader, ARawFileIsTakenWhole) {
  std::string bytes(1000, '\x10');
  std::fill(bytes.end() - 10, bytes.end(), '\xFF');
  ASSERT_TRUE(load("fw.bin", bytes));
  EXPECT_EQ(image.length(), 1000u);
  EXPECT_EQ(at(990, 10), std::vector<uint8_t>(10, 0xFF));
  ASSERT_TRUE(load("full.bin", std::string(FlashImage::kBufferSize, '\x01')));
  EXPECT_EQ(image.length(), FlashImage::kBufferSize);
  ASSERT_TRUE(load("fw.bin", "abc"));
  EXPECT_EQ(load("big.bin", std::string(FlashImage::kBufferSize + 1, '\x02')).error, LoadError::kTooLarge);
  EXPECT_EQ(image.length(), 3u);
  // A HEX file named .bin is still sent as its bytes, with a warning.
  const LoadResult text = load("fw.bin", kSmallHex);
  ASSERT_TRUE(text);
  EXPECT_EQ(image.length(), kSmallHex.size());
  EXPECT_EQ(loadWarning(text), "Warnung: die Binärdatei enthält HEX-Text und wird unverändert gesendet !");
  EXPECT_EQ(loadWarning(load("fw.bin", ":012345678")), "");  // too short for a record
}

TEST_F(Loader, RecordsShorterThanTheirTypeNeedsFail) {
  const std::pair<uint8_t, std::vector<uint8_t>> shortRecords[] = {
      {0x02, {0x10}}, {0x03, {0x10, 0x00, 0x01}}, {0x04, {0x08}}, {0x05, {0x08, 0x00, 0x01}}};
  for (const auto& [type, bytes] : shortRecords) {
    const LoadResult r = load("fw.hex", record(type, 0, bytes) + kSmallHex);
    EXPECT_EQ(r.error, LoadError::kShortRecord) << int(type);
    EXPECT_EQ(r.recordType, type);
    EXPECT_EQ(r.line, 1u);
  }
  EXPECT_EQ(load("fw.hex", data(0, {1}) + record(0x06, 0, {}) + kEnd).error, LoadError::kBadType);
}

TEST_F(Loader, ALineMayHold600CharactersButNot601) {
  // 298 bytes take 596 digits; one odd digit more makes 600 characters with ':' and CR LF.
  std::string line = record(0x00, 0, std::vector<uint8_t>(293, 0x3C));
  ASSERT_EQ(line.size(), 599u);
  line.insert(line.size() - 2, "7");  // an odd last digit is ignored
  EXPECT_TRUE(load("fw.hex", line + kEnd));
  EXPECT_EQ(image.length(), 293u);
  const std::string tooLong = record(0x00, 0, std::vector<uint8_t>(294, 0x3C));
  ASSERT_EQ(tooLong.size(), 601u);
  const LoadResult r = load("fw.hex", data(0, {1}) + tooLong + kEnd);
  EXPECT_EQ(r.error, LoadError::kNoLineEnd);
  EXPECT_EQ(r.line, 2u);
}

}  // namespace
