#include "link/frame_codec.h"

namespace trv810::link {
namespace {

// Ones'-complement addition of two bytes: the carry out of bit 8 comes back in at bit 0.
inline uint8_t fold(unsigned x, unsigned y) {
  unsigned s = x + y;
  if (s > 0xFF) s -= 0xFF;
  return static_cast<uint8_t>(s);
}

struct Sums {
  uint8_t a = 0;
  uint8_t b = 0;
  void add(uint8_t x) {
    a = fold(a, x);
    b = fold(b, a);
  }
};

}  // namespace

CheckBytes checkBytes(std::span<const uint8_t> payload) {
  Sums s;
  for (uint8_t x : payload) s.add(x);
  int c1 = (0xFF - s.a) - s.b;
  if (c1 < 0) c1 -= 1;  // one more down when it goes negative, keeping the low 8 bits
  return {static_cast<uint8_t>(c1 & 0xFF), s.b};
}

bool contentIsGood(std::span<const uint8_t> content) {
  Sums s;
  for (uint8_t x : content) s.add(x);
  return s.a == 0xFF && s.b == 0xFF;
}

int encodeFrame(uint8_t* buffer, uint8_t length, uint8_t* transmit) {
  const CheckBytes check = checkBytes({buffer, length});
  buffer[length] = check.c1;
  buffer[length + 1] = check.c2;
  int n = 0;
  transmit[n++] = kFrameStart;
  for (int i = 0; i < length + 2; ++i) {
    const uint8_t b = buffer[i];
    if (b > 0xFC) {
      transmit[n++] = kEscape;
      transmit[n++] = b & 0x7F;
    } else {
      transmit[n++] = b;
    }
  }
  transmit[n++] = kFrameEnd;
  return n;
}

std::vector<uint8_t> encodeFrame(std::span<const uint8_t> payload) {
  std::array<uint8_t, kMaxPayload + 2> buffer{};
  const std::size_t length = payload.size() < kMaxPayload ? payload.size() : kMaxPayload;
  for (std::size_t i = 0; i < length; ++i) buffer[i] = payload[i];
  std::vector<uint8_t> frame(kMaxFrameBytes);
  frame.resize(static_cast<std::size_t>(
      encodeFrame(buffer.data(), static_cast<uint8_t>(length), frame.data())));
  return frame;
}

bool FrameDecoder::take(uint8_t b) {
  if (!inside_) {
    if (b == kFrameStart) {
      inside_ = true;
      count_ = 0;
      escape_ = overflow_ = false;
    }
    return false;
  }
  switch (b) {
    case kFrameEnd: {
      inside_ = false;
      escape_ = false;
      const bool good = !overflow_ && count_ >= 2 &&
                        contentIsGood(std::span<const uint8_t>(content_.data(), count_));
      overflow_ = false;
      return good;
    }
    case kEscape:
      escape_ = true;  // a second escape only keeps it pending
      return false;
    case kFrameStart:
      count_ = 0;
      escape_ = overflow_ = false;
      return false;
    default:
      if (escape_) b |= 0x80;
      escape_ = false;
      if (count_ < content_.size())
        content_[count_++] = b;
      else
        overflow_ = true;
      return false;
  }
}

}  // namespace trv810::link
