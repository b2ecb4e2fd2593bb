#include "firmware/flash_image.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace trv810::firmware {

// calloc hands out a buffer this large as fresh zero pages from the system, so the
// parts of it no load touches never cost a write (a program that only loads a HEX file
// uses a quarter of it).
FlashImage::FlashImage() : bytes_(static_cast<uint8_t*>(std::calloc(kBufferSize, 1))) {
  if (!bytes_) throw std::bad_alloc();
}

void FlashImage::Free::operator()(uint8_t* p) const { std::free(p); }

void FlashImage::setLength(uint32_t length) {
  length_ = static_cast<uint32_t>(std::min<std::size_t>(length, kBufferSize));
}

}  // namespace trv810::firmware
