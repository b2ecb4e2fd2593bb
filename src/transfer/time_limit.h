#pragma once
// The overall time a transfer may take. Each frame has its own time-outs and five
// sends, but a unit that keeps answering without getting anywhere (acknowledges and
// no block, always the wrong block, "send again from block 0" to every block) stays
// within them for ever. So every transfer also gets a limit from its size: three
// times what its frames and the unit's replies take on the line at 19200 baud with
// every byte escaped, plus the waits its opening may need (the unit's erase) and a
// reserve for resends. A USB adapter that holds replies back for its latency timer
// triples a transfer's time with unescaped bytes; the limit leaves room above that.
// Past the limit the transfer ends as one whose unit stopped answering.

#include <chrono>
#include <cstdint>

namespace trv810::transfer {

/// 19200 baud at ten bits a byte.
inline constexpr uint64_t kLineBytesPerSecond = 1920;
/// How many times its line time a transfer may take.
inline constexpr uint64_t kLineTimeFactor = 3;
/// Added to every limit: a handful of resends of 1.5 s.
inline constexpr std::chrono::milliseconds kLimitReserve{10'000};
/// The unit's replies the machines read are at most this long, but for a block.
inline constexpr uint64_t kReplyPayload = 4;

/// The most bytes a frame of `payload` bytes takes on the line: start and end, and
/// the payload and check bytes, each escaped.
constexpr uint64_t frameLineBytes(uint64_t payload) { return 2 + 2 * (payload + 2); }

/// The limit of a transfer that moves at most `lineBytes` on the line and whose
/// opening may wait `opening` in all.
constexpr std::chrono::milliseconds timeLimit(uint64_t lineBytes, std::chrono::milliseconds opening) {
  return std::chrono::milliseconds(lineBytes * kLineTimeFactor * 1000 / kLineBytesPerSecond) + opening + kLimitReserve;
}

}  // namespace trv810::transfer
