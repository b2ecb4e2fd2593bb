#pragma once
// The configuration image as the simulated unit delivers it in an upload: the image in
// the format asked for, followed by its 8-bit sum and that sum's complement, padded
// with 0xFF to whole 8-byte blocks.
//
//   format 3  the 898-byte image unchanged
//   format 2  568 bytes: the same fields in the same order, each signal sequence cut
//             to its first 10 bytes
//   format 1  522 bytes: older firmware's layout is unknown to the simulator; it
//             delivers the first 522 bytes of the format-2 layout, which keeps the
//             output deterministic and recognisably derived from the image

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace trv810::sim {

inline constexpr std::size_t kImageSize = 898;
inline constexpr std::size_t kBlockLength = 8;

/// Image bytes of `format` (1, 2 or 3); 0 for any other format.
std::size_t formatSize(int format);

/// The 898-byte `image` laid out in `format`; empty for an unknown format.
std::vector<uint8_t> imageInFormat(std::span<const uint8_t, kImageSize> image, int format);

/// What an upload of `format` carries: the image in that format, its sum and the
/// sum's complement (the sum one off when `badChecksum`), then 0xFF up to a whole
/// number of blocks. Empty for an unknown format.
std::vector<uint8_t> uploadPayload(std::span<const uint8_t, kImageSize> image, int format,
                                   bool badChecksum);

}  // namespace trv810::sim
