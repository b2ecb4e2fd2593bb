#include "firmware/flash_image.h"

#include <algorithm>

namespace trv810::firmware {

FlashImage::FlashImage() : bytes_(std::make_unique<uint8_t[]>(kBufferSize)) {}

void FlashImage::setLength(uint32_t length) {
  length_ = static_cast<uint32_t>(std::min<std::size_t>(length, kBufferSize));
}

}  // namespace trv810::firmware
