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

}  // namespace

std::size_t HexParser::feed(std::span<const uint8_t> bytes) {
  std::size_t used = 0;
  while (used < bytes.size() && state_ == State::kReading) {
    const uint8_t* from = bytes.data() + used;
    const std::size_t take = std::min(kLineSize - fill_, bytes.size() - used);
    const void* lf = std::memchr(from, '\n', take);
    const std::size_t n = lf ? static_cast<std::size_t>(static_cast<const uint8_t*>(lf) - from) + 1 : take;
    std::memcpy(line_.data() + fill_, from, n);
    fill_ += n;
    used += n;
    if (lf && fill_ >= 3 && line_[fill_ - 2] == '\r') {
      processLine(fill_);
      fill_ = 0;
      ++lineNumber_;
    } else if (fill_ == kLineSize) {
      fail(LoadError::kNoLineEnd);
    }
  }
  return used;
}

void HexParser::endOfFile() {
  if (state_ == State::kReading) fail(fill_ > 0 ? LoadError::kEndInsideLine : LoadError::kNoEndRecord);
}

void HexParser::processLine(std::size_t length) {
  if (line_[0] != ':') {
    result_.character = line_[0];
    return fail(LoadError::kNoColon);
  }
  const std::size_t count = (length - 3) / 2;  // digits between ':' and CR, in pairs
  uint8_t sum = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = 1 + 2 * i;
    const uint8_t high = kDigitValue[line_[at]];
    const uint8_t low = kDigitValue[line_[at + 1]];
    if (high == kNotADigit || low == kNotADigit) {
      const std::size_t bad = high == kNotADigit ? at : at + 1;
      result_.column = static_cast<uint32_t>(bad + 1);
      result_.character = line_[bad];
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
  if (offset >= FlashImage::kHexWindow || data.empty()) return;
  // A record starting just below 0x80000 may run a few hundred bytes past it; the
  // buffer is far larger, and those bytes lie outside every image length.
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
