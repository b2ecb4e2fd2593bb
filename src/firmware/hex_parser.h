#pragma once
// Intel-HEX reader for the FlashImage. How it works:
//
// Lines: the file is taken in chunks of any size. A line runs from its first character
// to the first LF that follows a CR at line position 2 or later (positions 0 and 1 are
// never tested), and it may hold at most 600 characters with its CR LF; otherwise the
// load fails. Chunks are scanned for LF with memchr, so the result is the same as
// reading one character at a time, whatever the chunk boundaries. A line that lies
// whole within a chunk is parsed in place; only one split across chunks is collected
// in the line buffer.
//
// Records: ':' then pairs of the upper-case digits 0-9 A-F (an odd last digit is
// ignored), summing to 0 with the check byte. Bytes: count, address (big-endian),
// type, data up to the check byte; the count field itself is not trusted.
//
// Placement: the image starts at the address of the first data record. The first
// type-04 or type-05 record sets the origin to its base; the first data record then
// adds its own address. Each data record lands at base + address - origin; data at or
// above 0x80000 from the origin, or below it, is dropped and counted. Types 02 and 03 move only
// the base. The end record forces the blank area 0x7800..0x7FFF to 0xFF and trims
// trailing 0xFF bytes to give the image length.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "firmware/flash_image.h"
#include "firmware/load_result.h"

namespace trv810::firmware {

class HexParser {
 public:
  enum class State { kReading, kFinished, kFailed };

  static constexpr std::size_t kLineSize = 600;
  static constexpr uint32_t kBlankStart = 0x7800;
  static constexpr uint32_t kBlankEnd = 0x8000;

  /// Writes data records into `image`'s buffer, which the caller has filled with 0xFF.
  explicit HexParser(FlashImage& image) : image_(image) {}

  /// Takes the next bytes of the file. Returns how many it consumed: all of them while
  /// reading goes on, fewer when the end record or a failure stopped it.
  std::size_t feed(std::span<const uint8_t> bytes);
  /// The file has no more bytes: the load fails unless the end record came.
  void endOfFile();

  State state() const { return state_; }
  /// The failure and its line when failed; kNone otherwise.
  const LoadResult& result() const { return result_; }
  /// The image length found by the end record, valid once finished.
  uint32_t imageLength() const { return length_; }

 private:
  void processLine(const uint8_t* line, std::size_t length);
  void handleRecord(uint8_t type, uint16_t address, std::span<const uint8_t> data);
  void placeData(uint16_t address, std::span<const uint8_t> data);
  void finish();
  void fail(LoadError error);

  FlashImage& image_;
  State state_ = State::kReading;
  LoadResult result_;
  uint32_t length_ = 0;
  uint32_t lineNumber_ = 1;

  uint32_t base_ = 0;
  uint32_t origin_ = 0;
  bool firstDataSeen_ = false;
  bool firstAddressSeen_ = false;

  std::array<uint8_t, kLineSize> line_{};
  std::size_t fill_ = 0;
  std::array<uint8_t, kLineSize / 2> bytes_{};
};

}  // namespace trv810::firmware
