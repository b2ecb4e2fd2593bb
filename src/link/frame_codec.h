#pragma once
// Frame codec of the serial protocol. Both directions use the same frame:
//
//   0xFF, escaped content, 0xFE      content = payload, C1, C2
//
// Content bytes 0xFD..0xFF travel as 0xFD, (byte & 0x7F); the receiver ORs 0x80 into
// whatever follows an escape. C1 and C2 are an 8-bit Fletcher checksum modulo 255 in
// ones'-complement arithmetic: running the two sums over payload, C1 and C2 gives
// A = B = 0xFF for every good frame. Frames have no length field; a frame with a bad
// check or fewer than two content bytes is dropped without a word, and a start byte
// inside a frame starts it over.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace trv810::link {

inline constexpr uint8_t kFrameStart = 0xFF;
inline constexpr uint8_t kFrameEnd = 0xFE;
inline constexpr uint8_t kEscape = 0xFD;

/// The longest payload the encoder takes, and the longest frame it can make from it.
inline constexpr std::size_t kMaxPayload = 255;
inline constexpr std::size_t kMaxFrameBytes = 2 + 2 * (kMaxPayload + 2);
/// Content (payload and check bytes) that fits one ReceiveRing slot.
inline constexpr std::size_t kMaxContent = 127;

struct CheckBytes {
  uint8_t c1;
  uint8_t c2;
};

/// The two check bytes of `payload`.
CheckBytes checkBytes(std::span<const uint8_t> payload);
/// True when the content (payload followed by its two check bytes) sums to A = B = 0xFF.
bool contentIsGood(std::span<const uint8_t> content);

/// Encodes the `length` payload bytes of `buffer` into `transmit` and returns the
/// number of frame bytes. Writes C1 and C2 into buffer[length] and buffer[length + 1],
/// so `buffer` needs room for two more bytes. `transmit` needs room for
/// 2 + 2 * (length + 2) bytes.
int encodeFrame(uint8_t* buffer, uint8_t length, uint8_t* transmit);

/// The frame for `payload` (at most kMaxPayload bytes), as a new vector.
std::vector<uint8_t> encodeFrame(std::span<const uint8_t> payload);

/// Receiving side: takes bytes as they arrive, in chunks of any size, and hands each
/// good frame's content (payload and both check bytes) to a sink. Its state lives as
/// long as the decoder; chunk boundaries do not matter.
class FrameDecoder {
 public:
  /// Called with the content of each good frame; payload length is size() - 2.
  /// A sink may block (the receiver waits for the consumer there).
  template <typename Sink>
  void decodeBytes(const uint8_t* chunk, std::size_t count, Sink&& sink) {
    for (std::size_t i = 0; i < count; ++i) {
      if (take(chunk[i])) sink(std::span<const uint8_t>(content_.data(), count_));
    }
  }

  /// Clears a frame in progress (for a fresh start; the link never needs it).
  void clear() { inside_ = escape_ = overflow_ = false, count_ = 0; }

 private:
  /// Processes one byte; true when it completed a good frame in content_.
  bool take(uint8_t b);

  std::array<uint8_t, kMaxContent> content_{};
  std::size_t count_ = 0;
  bool inside_ = false;
  bool escape_ = false;
  bool overflow_ = false;  // content outgrew a ring slot: the frame is dropped at its end
};

}  // namespace trv810::link
