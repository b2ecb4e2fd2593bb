#include "sim/image_formats.h"

#include <algorithm>

namespace trv810::sim {
namespace {

constexpr std::size_t kRowCount = 32;
constexpr std::size_t kSequenceOffset = 200;  // the fields before it are the same in 2 and 3
constexpr std::size_t kLongSequence = 20;
constexpr std::size_t kShortSequence = 10;
constexpr std::size_t kTailOffset = 840;       // switchOnTime in format 3
constexpr std::size_t kManualOffset = 856;     // manualSequence in format 3
constexpr std::size_t kAfterManual = 876;      // [general-field]: the fields behind the manual sequence
constexpr std::size_t kAfterManualSize = 22;

std::vector<uint8_t> format2(std::span<const uint8_t, kImageSize> image) {
  std::vector<uint8_t> out;
  out.reserve(formatSize(2));
  const auto copy = [&](std::size_t at, std::size_t n) {
    out.insert(out.end(), image.begin() + at, image.begin() + at + n);
  };
  copy(0, kSequenceOffset);
  for (std::size_t r = 0; r < kRowCount; ++r) copy(kSequenceOffset + r * kLongSequence, kShortSequence);
  copy(kTailOffset, kManualOffset - kTailOffset);
  copy(kManualOffset, kShortSequence);
  copy(kAfterManual, kAfterManualSize);
  return out;
}

}  // namespace

std::size_t formatSize(int format) {
  switch (format) {
    case 1: return 522;
    case 2: return 568;
    case 3: return kImageSize;
    default: return 0;
  }
}

std::vector<uint8_t> imageInFormat(std::span<const uint8_t, kImageSize> image, int format) {
  switch (format) {
    case 3: return {image.begin(), image.end()};
    case 2: return format2(image);
    case 1: {
      std::vector<uint8_t> out = format2(image);
      out.resize(formatSize(1));
      return out;
    }
    default: return {};
  }
}

std::vector<uint8_t> uploadPayload(std::span<const uint8_t, kImageSize> image, int format,
                                   bool badChecksum) {
  std::vector<uint8_t> out = imageInFormat(image, format);
  if (out.empty()) return out;
  unsigned sum = 0;
  for (uint8_t b : out) sum += b;
  const auto s = static_cast<uint8_t>(sum);
  out.push_back(static_cast<uint8_t>(badChecksum ? s + 1 : s));
  out.push_back(static_cast<uint8_t>(0xFF - s));
  out.resize((out.size() + kBlockLength - 1) / kBlockLength * kBlockLength, 0xFF);
  return out;
}

}  // namespace trv810::sim
