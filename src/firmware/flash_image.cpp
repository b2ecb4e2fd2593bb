#include "firmware/flash_image.h"

#include <algorithm>

namespace trv810::firmware {

// Fresh pages: zero, costing nothing until written, and as huge pages where the system
// has them, so the 0xFF fill of a load does not fault in 128 pages one by one.
FlashImage::FlashImage() : bytes_(platform::allocatePageBlock(kBufferSize)) {}

void FlashImage::setLength(uint32_t length) {
  length_ = static_cast<uint32_t>(std::min<std::size_t>(length, kBufferSize));
}

}  // namespace trv810::firmware
