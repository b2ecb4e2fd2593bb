#include "config/config_image.h"

#include <algorithm>

namespace trv810::config {
namespace {

// Offsets of format index 2 that differ from the current format: the sequences are
// 10 bytes long, so everything behind them moves down.
constexpr std::size_t kOldSequenceSize = 10;
constexpr std::size_t kOldSequenceOffset = 200;
constexpr std::size_t kOldSwitchOnOffset = 520;
constexpr std::size_t kOldManualSequenceOffset = 536;
// [general-field]: the fields behind the manual sequence keep their order and sizes.
constexpr std::size_t kOldTailOffset = 546;
constexpr std::size_t kTailSize = kImageSize - ConfigImage::kTailOffset;

void importFormat2(ConfigImage& image, std::span<const uint8_t> source) {
  // A copy first, so that a source inside the image itself is read before it is
  // overwritten.
  std::array<uint8_t, kFormat2Size> scratch;
  std::copy_n(source.begin(), kFormat2Size, scratch.begin());
  const auto out = image.bytes();
  // address, functionIndex and the ten masks keep their offsets.
  std::copy_n(scratch.begin(), ConfigImage::kSequenceOffset, out.begin());
  for (int r = 0; r < kRowCount; ++r) {
    const SequenceSlot slot = image.sequence(r);
    std::fill(slot.begin(), slot.end(), uint8_t{0xFF});
    std::copy_n(scratch.begin() + kOldSequenceOffset + kOldSequenceSize * r, kOldSequenceSize, slot.begin());
  }
  std::copy_n(scratch.begin() + kOldSwitchOnOffset, 2 * kRelayCount,
              out.begin() + ConfigImage::kSwitchOnOffset);
  const SequenceSlot manual = image.manualSequence();
  std::fill(manual.begin(), manual.end(), uint8_t{0xFF});
  std::copy_n(scratch.begin() + kOldManualSequenceOffset, kOldSequenceSize, manual.begin());
  std::copy_n(scratch.begin() + kOldTailOffset, kTailSize, out.begin() + ConfigImage::kTailOffset);
}

}  // namespace

std::size_t imageSize(int formatIndex) {
  switch (formatIndex) {
    case 1: return kFormat1Size;
    case 2: return kFormat2Size;
    case 3: return kImageSize;
    default: return 0;
  }
}

uint32_t ConfigImage::read32(std::size_t at) const {
  return uint32_t{bytes_[at]} | uint32_t{bytes_[at + 1]} << 8 | uint32_t{bytes_[at + 2]} << 16 |
         uint32_t{bytes_[at + 3]} << 24;
}

void ConfigImage::write32(std::size_t at, uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes_[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint16_t ConfigImage::read16(std::size_t at) const {
  return static_cast<uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
}

void ConfigImage::write16(std::size_t at, uint16_t value) {
  bytes_[at] = static_cast<uint8_t>(value);
  bytes_[at + 1] = static_cast<uint8_t>(value >> 8);
}

bool importImage(ConfigImage& image, int formatIndex, std::span<const uint8_t> source) {
  const std::size_t size = imageSize(formatIndex);
  if (size == 0 || source.size() < size) return false;
  switch (formatIndex) {
    case 3: std::copy_n(source.begin(), kImageSize, image.bytes().begin()); break;
    case 2: importFormat2(image, source); break;
    default:
      // The oldest layout is not known field by field, so nothing of it is taken over;
      // the sequences are emptied because their old coding cannot be trusted.
      for (int r = 0; r < kRowCount; ++r) std::ranges::fill(image.sequence(r), uint8_t{0xFF});
      break;
  }
  return true;
}

std::array<uint8_t, 2> uploadCheckBytes(std::span<const uint8_t> image) {
  uint8_t sum = 0;
  for (uint8_t b : image) sum = static_cast<uint8_t>(sum + b);
  return {sum, static_cast<uint8_t>(0xFF - sum)};
}

Acceptance acceptImage(ConfigImage& image, int formatIndex, std::span<const uint8_t> received) {
  const std::size_t size = imageSize(formatIndex);
  if (size == 0 || received.size() < size + 2) return Acceptance::Refused;
  const auto check = uploadCheckBytes(received.first(size));
  if (received[size] != check[0] || received[size + 1] != check[1]) return Acceptance::Refused;
  importImage(image, formatIndex, received.first(size));
  return formatIndex == kCurrentFormat ? Acceptance::Current : Acceptance::Older;
}

}  // namespace trv810::config
