#include "firmware/hex_parser.h"

#include <algorithm>
#include <cstring>

namespace trv810::firmware {
namespace {

constexpr uint8_t kNotADigit = 0xFF;

// Value of each character as a hex digit; only 0-9 and upper-case A-F are digits.
constexpr std::array<uint8_t, 256> makeDigitTable() {
  std::array<uint8_t, 256> table{};
  for (auto& v : table) v = kNotADigit;
  constexpr char kDigits[] = "0123456789ABCDEF";
  for (uint8_t i = 0; i < 16; ++i) table[static_cast<uint8_t>(kDigits[i])] = i;
  return table;
}
constexpr std::array<uint8_t, 256> kDigitValue = makeDigitTable();

uint32_t bigEndian16(std::span<const uint8_t> d, std::size_t at) {
  return static_cast<uint32_t>(d[at]) << 8 | d[at + 1];
}

// Data bytes each address record needs; 0 for types without a minimum.
std::size_t dataNeeded(uint8_t type) {
  switch (type) {
    case 0x02: case 0x04: return 2;
    case 0x03: case 0x05: return 4;
    default: return 0;
  }
}

// The length of the line starting at `line`, with its CR LF, when an LF preceded by CR
// lies at one of the positions from..to-1; 0 otherwise. Positions 0 and 1 never end a
// line.
std::size_t lineEnd(const uint8_t* line, std::size_t from, std::size_t to) {
  for (std::size_t at = std::max<std::size_t>(from, 2); at < to;) {
    const void* lf = std::memchr(line + at, '\n', to - at);
    if (!lf) return 0;
    const auto pos = static_cast<std::size_t>(static_cast<const uint8_t*>(lf) - line);
    if (line[pos - 1] == '\r') return pos + 1;
    at = pos + 1;
  }
  return 0;
}

// Whether the collected line has an LF without the CR before it: a file with LF line
// ends, whose lines then run together until the 600 characters or the file are used up.
bool hasBareLineFeed(const uint8_t* line, std::size_t length) {
  for (std::size_t at = 0; at < length; ++at)
    if (line[at] == '\n' && (at == 0 || line[at - 1] != '\r')) return true;
  return false;
}

}  // namespace

std::size_t HexParser::feed(std::span<const uint8_t> bytes) {
  const uint8_t* const begin = bytes.data();
  const uint8_t* const end = begin + bytes.size();
  const uint8_t* at = begin;
  while (at < end && state_ == State::kReading) {
    const auto left = static_cast<std::size_t>(end - at);
    if (fill_ == 0) {
      // A line that lies whole in the bytes is parsed where it is, without a copy.
      const std::size_t room = std::min(kLineSize, left);
      if (const std::size_t length = lineEnd(at, 0, room)) {
        processLine(at, length);
        at += length;
        ++lineNumber_;
        continue;
      }
      std::memcpy(line_.data(), at, room);
      fill_ = room;
      at += room;
    } else {
      // The rest of a line begun in an earlier call, collected in the line buffer.
      const std::size_t room = std::min(kLineSize - fill_, left);
      std::memcpy(line_.data() + fill_, at, room);
      if (const std::size_t length = lineEnd(line_.data(), fill_, fill_ + room)) {
        at += length - fill_;
        fill_ = 0;
        processLine(line_.data(), length);
        ++lineNumber_;
        continue;
      }
      fill_ += room;
      at += room;
    }
    if (fill_ == kLineSize) fail(hasBareLineFeed(line_.data(), fill_) ? LoadError::kBareLineFeed : LoadError::kNoLineEnd);
  }
  return static_cast<std::size_t>(at - begin);
}

void HexParser::endOfFile() {
  if (state_ != State::kReading) return;
  if (fill_ == 0) return fail(LoadError::kNoEndRecord);
  fail(hasBareLineFeed(line_.data(), fill_) ? LoadError::kBareLineFeed : LoadError::kEndInsideLine);
}

void HexParser::processLine(const uint8_t* line, std::size_t length) {
  if (line[0] != ':') {
    result_.character = line[0];
    return fail(LoadError::kNoColon);
  }
  const std::size_t count = (length - 3) / 2;  // digits between ':' and CR, in pairs
  uint8_t sum = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = 1 + 2 * i;
    const uint8_t high = kDigitValue[line[at]];
    const uint8_t low = kDigitValue[line[at + 1]];
    if ((high | low) > 0x0F) {
      const std::size_t bad = high == kNotADigit ? at : at + 1;
      result_.column = static_cast<uint32_t>(bad + 1);
      result_.character = line[bad];
      return fail(LoadError::kBadDigit);
    }
    bytes_[i] = static_cast<uint8_t>(high << 4 | low);
    sum = static_cast<uint8_t>(sum + bytes_[i]);
  }
  if (count == 0 || sum != 0) return fail(LoadError::kBadChecksum);
  if (count < 4) return fail(LoadError::kTooShort);
  // With four bytes the type doubles as the check byte and there are no data.
  const std::span<const uint8_t> data(bytes_.data() + 4, count > 5 ? count - 5 : 0);
  handleRecord(bytes_[3], static_cast<uint16_t>(bigEndian16(bytes_, 1)), data);
}

void HexParser::handleRecord(uint8_t type, uint16_t address, std::span<const uint8_t> data) {
  if (data.size() < dataNeeded(type)) {
    result_.recordType = type;
    return fail(LoadError::kShortRecord);
  }
  switch (type) {
    case 0x00: return placeData(address, data);
    case 0x01: return finish();
    case 0x02: base_ = bigEndian16(data, 0) * 16; return;
    case 0x03: base_ = bigEndian16(data, 0) * 16 + bigEndian16(data, 2); return;
    case 0x04: base_ = bigEndian16(data, 0) << 16; break;
    case 0x05: base_ = bigEndian16(data, 0) << 16 | bigEndian16(data, 2); break;
    default:
      result_.recordType = type;
      return fail(LoadError::kBadType);
  }
  // Types 04 and 05: the first of them fixes the origin.
  if (!firstAddressSeen_) {
    firstAddressSeen_ = true;
    origin_ = base_;
  }
}

void HexParser::placeData(uint16_t address, std::span<const uint8_t> data) {
  if (!firstDataSeen_) {
    origin_ += address;
    firstDataSeen_ = true;
  }
  const uint32_t offset = base_ + address - origin_;
  if (offset >= FlashImage::kHexWindow) {
    result_.bytesLeftOut += data.size();
    return;
  }
  // A record starting just below 0x80000 may run a few hundred bytes past it; the
  // buffer is far larger, and those bytes lie outside every image length.
  if (offset + data.size() > FlashImage::kHexWindow) result_.bytesLeftOut += offset + data.size() - FlashImage::kHexWindow;
  std::memcpy(image_.buffer().data() + offset, data.data(), data.size());
}

void HexParser::finish() {
  const auto window = image_.buffer().first(FlashImage::kHexWindow);
  std::fill(window.begin() + kBlankStart, window.begin() + kBlankEnd, uint8_t{0xFF});
  const auto last = std::find_if(window.rbegin(), window.rend(), [](uint8_t b) { return b != 0xFF; });
  if (last == window.rend()) {
    lineNumber_ = 0;  // a fault of the whole file, not of the end record's line
    return fail(LoadError::kBlankImage);
  }
  length_ = static_cast<uint32_t>(window.rend() - last);
  state_ = State::kFinished;
}

void HexParser::fail(LoadError error) {
  result_.error = error;
  result_.line = lineNumber_;
  state_ = State::kFailed;
}

}  // namespace trv810::firmware
