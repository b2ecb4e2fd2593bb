// Intel-HEX reader. The input is one HEX file, parsed three times: in one piece, one
// byte at a time (as a reader taking one character per read would see it) and in
// chunks of a size taken from the input's length. All three must end alike, with the
// same image; a finished image must be well-formed (length within the window, its last
// byte not 0xFF, only 0xFF after it, the blank area 0xFF). Anything else aborts.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "firmware/flash_image.h"
#include "firmware/hex_parser.h"

using namespace trv810::firmware;

namespace {

// The window and the few hundred bytes a record near its end may write past it.
constexpr std::size_t kChecked = FlashImage::kHexWindow + 0x200;

struct Run {
  HexParser::State state;
  LoadResult result;
  uint32_t length;
};

Run parse(FlashImage& image, std::span<const uint8_t> file, std::size_t chunk) {
  std::fill_n(image.buffer().begin(), kChecked, uint8_t{0xFF});
  HexParser parser(image);
  for (std::size_t at = 0; at < file.size() && parser.state() == HexParser::State::kReading; at += chunk) {
    const auto piece = file.subspan(at, std::min(chunk, file.size() - at));
    const std::size_t used = parser.feed(piece);
    if (used > piece.size()) std::abort();
    if (used < piece.size() && parser.state() == HexParser::State::kReading) std::abort();
  }
  parser.endOfFile();
  if (parser.state() == HexParser::State::kReading) std::abort();
  return {parser.state(), parser.result(), parser.imageLength()};
}

bool sameOutcome(const Run& a, const Run& b) {
  return a.state == b.state && a.result.error == b.result.error && a.result.line == b.result.line &&
         a.result.column == b.result.column && a.result.character == b.result.character &&
         a.result.recordType == b.result.recordType && (a.state != HexParser::State::kFinished || a.length == b.length);
}

bool sameImage(const FlashImage& a, const FlashImage& b) {
  return std::memcmp(a.buffer().data(), b.buffer().data(), kChecked) == 0;
}

void checkFinished(const FlashImage& image, const Run& run) {
  if (run.result.error != LoadError::kNone) std::abort();
  const auto window = image.buffer().first(FlashImage::kHexWindow);
  if (run.length == 0 || run.length > window.size()) std::abort();
  if (window[run.length - 1] == 0xFF) std::abort();
  if (std::any_of(window.begin() + run.length, window.end(), [](uint8_t b) { return b != 0xFF; })) std::abort();
  if (std::any_of(window.begin() + HexParser::kBlankStart, window.begin() + HexParser::kBlankEnd,
                  [](uint8_t b) { return b != 0xFF; }))
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FlashImage whole, single;
  const std::span<const uint8_t> file(data, size);

  const Run reference = parse(whole, file, std::max<std::size_t>(size, 1));
  if (reference.state == HexParser::State::kFinished)
    checkFinished(whole, reference);
  else if (reference.result.error == LoadError::kNone || reference.result.line > size + 1)
    std::abort();

  const Run bytewise = parse(single, file, 1);
  if (!sameOutcome(reference, bytewise) || !sameImage(whole, single)) std::abort();

  const Run chunked = parse(single, file, size % 613 + 1);
  if (!sameOutcome(reference, chunked) || !sameImage(whole, single)) std::abort();
  return 0;
}
