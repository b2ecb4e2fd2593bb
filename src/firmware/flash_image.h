#pragma once
// The FlashImage: the 2 MiB buffer that holds a firmware image from offset 0, and the
// image length, the number of its bytes that make up the firmware. The application
// owns the one instance and hands it by reference to the loader and the download.

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/page_block.h"

namespace trv810::firmware {

class FlashImage {
 public:
  /// Size of the whole buffer; a raw file may fill all of it.
  static constexpr std::size_t kBufferSize = 0x200000;
  /// The offsets 0x00000..0x7FFFF that a HEX file is mapped into.
  static constexpr std::size_t kHexWindow = 0x80000;

  /// A zero-filled buffer and image length 0.
  FlashImage();
  FlashImage(const FlashImage&) = delete;
  FlashImage& operator=(const FlashImage&) = delete;

  /// All kBufferSize bytes.
  std::span<uint8_t> buffer() { return {bytes_.get(), kBufferSize}; }
  std::span<const uint8_t> buffer() const { return {bytes_.get(), kBufferSize}; }
  /// The firmware: the first length() bytes of the buffer.
  std::span<const uint8_t> image() const { return {bytes_.get(), length_}; }

  uint32_t length() const { return length_; }
  /// Sets the image length; at most kBufferSize.
  void setLength(uint32_t length);

 private:
  platform::PageBlock bytes_;
  uint32_t length_ = 0;
};

}  // namespace trv810::firmware
