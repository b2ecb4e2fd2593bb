#include "firmware/flash_loader.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "firmware/hex_parser.h"
#include "platform/file_reader.h"

namespace trv810::firmware {
namespace {

constexpr std::size_t kReadBlock = 64 * 1024;

LoadResult failed(LoadError error, platform::FileResult file = {}) {
  LoadResult result;
  result.error = error;
  result.file = std::move(file);
  return result;
}

// Whether raw bytes start as an Intel-HEX file does: a colon, at least the ten hex
// digits of the shortest record, then the end of the line. A HEX file renamed to .bin
// would be sent as its text; binary firmware that happens to start so is unlikely.
bool looksLikeHexText(std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes[0] != ':') return false;
  std::size_t digits = 0;
  for (const uint8_t c : bytes.subspan(1)) {
    if (c == '\r' || c == '\n') break;
    if (!std::isxdigit(c)) return false;
    ++digits;
  }
  return digits >= 10;
}

// A raw image: the whole file from offset 0, its size the image length. A file that
// does not fit the buffer fails before anything past the buffer is read. An empty
// file fails too: programming it would erase the unit's firmware and put nothing back.
LoadResult loadRaw(FlashImage& image, const std::string& path) {
  platform::FileReader file;
  if (auto opened = file.open(path); !opened) return failed(LoadError::kCannotOpen, opened);
  if (file.size() > static_cast<int64_t>(FlashImage::kBufferSize)) return failed(LoadError::kTooLarge);
  std::size_t got = 0;
  if (auto read = file.read(image.buffer(), got); !read) return failed(LoadError::kCannotRead, read);
  if (got == FlashImage::kBufferSize) {  // full: the file may still hold more (not a regular file)
    uint8_t probe = 0;
    std::size_t more = 0;
    if (auto read = file.read({&probe, 1}, more); !read) return failed(LoadError::kCannotRead, read);
    if (more > 0) return failed(LoadError::kTooLarge);
  }
  if (got == 0) return failed(LoadError::kEmptyImage);
  image.setLength(static_cast<uint32_t>(got));
  LoadResult result;
  result.looksLikeHexText = looksLikeHexText(image.image());
  return result;
}

// Streams the HEX file through the parser in large blocks until the end record or a
// failure; lines after the end record are never read.
LoadResult parseHex(FlashImage& image, const std::string& path, uint32_t& length) {
  platform::FileReader file;
  if (auto opened = file.open(path); !opened) return failed(LoadError::kCannotOpen, opened);
  HexParser parser(image);
  std::vector<uint8_t> block(kReadBlock);
  while (parser.state() == HexParser::State::kReading) {
    std::size_t got = 0;
    if (auto read = file.read(block, got); !read) return failed(LoadError::kCannotRead, read);
    parser.feed(std::span<const uint8_t>(block.data(), got));
    if (got < block.size()) parser.endOfFile();
  }
  length = parser.imageLength();
  return parser.result();
}

LoadResult loadHex(FlashImage& image, const std::string& path, const LoadOptions& options) {
  uint32_t length = 0;
  LoadResult result = parseHex(image, path, length);
  if (!result) return result;
  image.setLength(length);
  if (options.writeRawCopy) {
    result.rawCopyPath = rawCopyPath(path);
    if (!result.rawCopyPath.empty())
      result.rawCopy = platform::writeFileReplacing(result.rawCopyPath, image.image());
  }
  return result;
}

}  // namespace

FileKind fileKindOf(const std::string& title) {
  if (title.size() < 4) return FileKind::kUnknown;
  const std::string ending = title.substr(title.size() - 4);
  if (ending == ".bin" || ending == ".BIN") return FileKind::kRaw;
  if (ending == ".hex" || ending == ".HEX") return FileKind::kHex;
  return FileKind::kUnknown;
}

std::string rawCopyPath(const std::string& hexPath) {
  if (hexPath.size() < 3) return {};
  return hexPath.substr(0, hexPath.size() - 3) + "bin";
}

LoadResult loadFlashImage(FlashImage& image, const std::string& path, const std::string& title,
                          const LoadOptions& options) {
  const auto window = image.buffer().first(FlashImage::kHexWindow);
  std::fill(window.begin(), window.end(), uint8_t{0xFF});
  switch (fileKindOf(title)) {
    case FileKind::kRaw: return loadRaw(image, path);
    case FileKind::kHex: return loadHex(image, path, options);
    case FileKind::kUnknown: break;
  }
  return failed(LoadError::kBadExtension);
}

}  // namespace trv810::firmware
