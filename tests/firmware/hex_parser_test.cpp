#include "firmware/hex_parser.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "hex_files.h"

using namespace trv810::firmware;
using namespace trv810::firmware::test;

namespace {

struct Outcome {
  HexParser::State state;
  LoadError error;
  uint32_t line, column, length;
  std::vector<uint8_t> window;
  bool operator==(const Outcome&) const = default;
};

// Parses `text` handed over in chunks of `chunk` bytes, as the loader does with its
// blocks, stopping as the loader does when the parser stops.
Outcome parseInChunks(const std::string& text, std::size_t chunk) {
  FlashImage image;
  const auto window = image.buffer().first(FlashImage::kHexWindow + 0x200);
  std::fill(window.begin(), window.end(), uint8_t{0xFF});
  HexParser parser(image);
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  for (std::size_t at = 0; at < text.size() && parser.state() == HexParser::State::kReading; at += chunk)
    parser.feed({bytes + at, std::min(chunk, text.size() - at)});
  parser.endOfFile();
  const LoadResult& r = parser.result();
  return {parser.state(), r.error, r.line, r.column, parser.imageLength(), {window.begin(), window.end()}};
}

TEST(HexParser, ChunkBoundariesNeverChangeTheOutcome) {
  const std::string good = record(0x04, 0, {0x08, 0x00}) + data(0, {1, 2, 3, 4}) + data(0x20, {5, 6}) + kEnd;
  const std::string inputs[] = {
      good,
      good + "anything after the end record",
      std::string(":\n\n\r\r") + "\r\n" + good,            // LF and CR alone never end a line
      data(0, {1}) + std::string(650, '0') + "\r\n" + kEnd,  // no CR LF within 600 characters
      data(0, {1}) + ":0" + "\r" + std::string(597, '\n') + kEnd,
      data(0, {1}) + data(2, {3}).replace(3, 1, "g") + kEnd,
      good.substr(0, good.size() - 1),
  };
  for (const std::string& text : inputs) {
    const Outcome whole = parseInChunks(text, text.size());
    for (std::size_t chunk : {1, 2, 3, 5, 64, 599, 600, 601})
      EXPECT_TRUE(parseInChunks(text, chunk) == whole) << "chunk " << chunk << " of " << text.substr(0, 40);
  }
}

TEST(HexParser, StopsAtTheEndRecordAndSaysHowMuchItConsumed) {
  FlashImage image;
  std::fill_n(image.buffer().begin(), FlashImage::kHexWindow, uint8_t{0xFF});
  HexParser parser(image);
  const std::string text = data(0, {0x42}) + kEnd + data(0, {0x43});
  const std::size_t used = parser.feed({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
  EXPECT_EQ(used, text.size() - data(0, {0x43}).size());
  EXPECT_EQ(parser.state(), HexParser::State::kFinished);
  EXPECT_EQ(parser.imageLength(), 1u);
}

}  // namespace
