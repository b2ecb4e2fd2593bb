#pragma once
// The unit's configuration as one 898-byte block (format index 3), with named access
// to its fields. The block has no header and no check bytes of its own; every
// multi-byte number in it is unsigned little-endian. The 32 rows are stored as
// parallel arrays and one bit per row in ten 32-bit masks:
//
//   0 address[32] u32    128 functionIndex[32] u8   160 activeMask   164 sirenMask
//   168 relayMask[8]     200 sequence[32][20]       840 switchOnTime[8] u16
//   856 manualSequence[20]  876 deadTime  878 alarmInterval  880 identText[16]  896 flags
//
// Older units and files deliver format 2 (568 bytes, sequences of 10 bytes) or format 1
// (522 bytes, not mapped); import brings them into this layout.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace trv810::config {

inline constexpr int kRowCount = 32;
inline constexpr int kRelayCount = 8;  ///< relays K3 to K10
/// The relays' names, j = 0 to 7: in the window, the JSON document and `show`.
inline constexpr std::string_view kRelayNames[kRelayCount] = {"K3", "K4", "K5", "K6", "K7", "K8", "K9", "K10"};
inline constexpr std::size_t kSequenceSlotSize = 20;
inline constexpr std::size_t kIdentSize = 16;

inline constexpr int kCurrentFormat = 3;
inline constexpr std::size_t kFormat1Size = 522;
inline constexpr std::size_t kFormat2Size = 568;
inline constexpr std::size_t kImageSize = 898;

/// Bits of `flags`.
inline constexpr uint16_t kFlagBaud1200 = 0x0001;
inline constexpr int kFlagManualRelayShift = 8;  ///< bit 8 + j: manual trigger switches K(3+j)

/// Foreign bytes from the unit or a file before they are accepted: a file of the
/// current format (927 bytes) or an uploaded image with its two check bytes padded to
/// whole 8-byte blocks (904 bytes for format 3); rounded up to whole blocks.
inline constexpr std::size_t kStagingSize = 928;
using StagingBuffer = std::array<uint8_t, kStagingSize>;

using SequenceSlot = std::span<uint8_t, kSequenceSlotSize>;
using ConstSequenceSlot = std::span<const uint8_t, kSequenceSlotSize>;

/// Size in bytes of an image of `formatIndex`: 522, 568 or 898 for 1, 2, 3; 0 otherwise.
std::size_t imageSize(int formatIndex);

class ConfigImage {
 public:
  /// Byte offsets of the fields in the current format. [general-field]: a general
  /// field's offset is named here; its row in general_fields.cpp reads it.
  /// [row-column]: a row column's array or masks, with its accessors below.
  static constexpr std::size_t kAddressOffset = 0;
  static constexpr std::size_t kFunctionOffset = 128;
  static constexpr std::size_t kActiveOffset = 160;
  static constexpr std::size_t kSirenOffset = 164;
  static constexpr std::size_t kRelayOffset = 168;
  static constexpr std::size_t kSequenceOffset = 200;
  static constexpr std::size_t kSwitchOnOffset = 840;
  static constexpr std::size_t kManualSequenceOffset = 856;
  static constexpr std::size_t kDeadTimeOffset = 876;
  static constexpr std::size_t kAlarmIntervalOffset = 878;
  static constexpr std::size_t kIdentOffset = 880;
  static constexpr std::size_t kFlagsOffset = 896;
  /// Everything behind the manual sequence, which format 2 stores unchanged at its end.
  static constexpr std::size_t kTailOffset = kManualSequenceOffset + kSequenceSlotSize;

  // Rows are 0 to 31 and relays j 0 to 7; an index outside is taken modulo the count,
  // so no access ever leaves the block.

  /// A cleared image: all 898 bytes zero.
  ConfigImage() = default;

  /// Sets all 898 bytes to zero.
  void clear() { bytes_.fill(0); }

  /// The raw block, as it is sent to the unit and stored in a file.
  std::span<const uint8_t, kImageSize> bytes() const { return bytes_; }
  std::span<uint8_t, kImageSize> bytes() { return bytes_; }

  uint32_t address(int row) const { return read32(kAddressOffset + 4 * index(row)); }
  void setAddress(int row, uint32_t value) { write32(kAddressOffset + 4 * index(row), value); }
  uint8_t functionIndex(int row) const { return bytes_[kFunctionOffset + index(row)]; }
  void setFunctionIndex(int row, uint8_t value) { bytes_[kFunctionOffset + index(row)] = value; }

  uint32_t activeMask() const { return read32(kActiveOffset); }
  void setActiveMask(uint32_t mask) { write32(kActiveOffset, mask); }
  uint32_t sirenMask() const { return read32(kSirenOffset); }
  void setSirenMask(uint32_t mask) { write32(kSirenOffset, mask); }
  /// Mask of relay K(3+j), j = 0 to 7.
  uint32_t relayMask(int j) const { return read32(kRelayOffset + 4 * relay(j)); }
  void setRelayMask(int j, uint32_t mask) { write32(kRelayOffset + 4 * relay(j), mask); }

  bool active(int row) const { return bit(activeMask(), row); }
  void setActive(int row, bool on) { setActiveMask(withBit(activeMask(), row, on)); }
  bool siren(int row) const { return bit(sirenMask(), row); }
  void setSiren(int row, bool on) { setSirenMask(withBit(sirenMask(), row, on)); }
  bool relayOn(int j, int row) const { return bit(relayMask(j), row); }
  void setRelayOn(int j, int row, bool on) { setRelayMask(j, withBit(relayMask(j), row, on)); }

  /// The 20-byte signal-sequence slot of `row`.
  SequenceSlot sequence(int row) { return slot(kSequenceOffset + kSequenceSlotSize * index(row)); }
  ConstSequenceSlot sequence(int row) const { return slot(kSequenceOffset + kSequenceSlotSize * index(row)); }
  SequenceSlot manualSequence() { return slot(kManualSequenceOffset); }
  ConstSequenceSlot manualSequence() const { return slot(kManualSequenceOffset); }

  /// Switch-on time of relay K(3+j) in seconds.
  uint16_t switchOnTime(int j) const { return read16(kSwitchOnOffset + 2 * relay(j)); }
  void setSwitchOnTime(int j, uint16_t seconds) { write16(kSwitchOnOffset + 2 * relay(j), seconds); }
  uint16_t deadTime() const { return read16(kDeadTimeOffset); }
  void setDeadTime(uint16_t seconds) { write16(kDeadTimeOffset, seconds); }
  uint16_t alarmInterval() const { return read16(kAlarmIntervalOffset); }
  void setAlarmInterval(uint16_t seconds) { write16(kAlarmIntervalOffset, seconds); }

  /// The 16 bytes of the ident text; zero-terminated only when shorter than 16.
  std::span<uint8_t, kIdentSize> identText() {
    return std::span<uint8_t, kIdentSize>(&bytes_[kIdentOffset], kIdentSize);
  }
  std::span<const uint8_t, kIdentSize> identText() const {
    return std::span<const uint8_t, kIdentSize>(&bytes_[kIdentOffset], kIdentSize);
  }

  /// The unsigned 16-bit number at `offset`, as a general field keeps it; an offset
  /// beyond the block's last word reads and writes within it all the same.
  uint16_t word(std::size_t offset) const { return read16(offset % (kImageSize - 1)); }
  void setWord(std::size_t offset, uint16_t value) { write16(offset % (kImageSize - 1), value); }

  uint16_t flags() const { return read16(kFlagsOffset); }
  void setFlags(uint16_t value) { write16(kFlagsOffset, value); }

  friend bool operator==(const ConfigImage&, const ConfigImage&) = default;

 private:
  static std::size_t index(int row) { return static_cast<std::size_t>(row) % kRowCount; }
  static std::size_t relay(int j) { return static_cast<std::size_t>(j) % kRelayCount; }
  static bool bit(uint32_t mask, int row) { return (mask >> index(row)) & 1u; }
  static uint32_t withBit(uint32_t mask, int row, bool on) {
    const uint32_t b = uint32_t{1} << index(row);
    return on ? (mask | b) : (mask & ~b);
  }
  uint32_t read32(std::size_t at) const;
  void write32(std::size_t at, uint32_t value);
  uint16_t read16(std::size_t at) const;
  void write16(std::size_t at, uint16_t value);
  SequenceSlot slot(std::size_t at) { return SequenceSlot(&bytes_[at], kSequenceSlotSize); }
  ConstSequenceSlot slot(std::size_t at) const { return ConstSequenceSlot(&bytes_[at], kSequenceSlotSize); }

  std::array<uint8_t, kImageSize> bytes_{};
};

/// Brings an image of `formatIndex` (its imageSize() bytes at the start of `source`)
/// into `image`: format 3 is copied, format 2 converted field by field (every sequence
/// gets its 10 old bytes and ten 0xFF), format 1 empties the 32 sequences and keeps the
/// rest. Returns false, leaving `image` unchanged, for any other format index or a
/// `source` shorter than the format's size. `source` may alias `image`.
bool importImage(ConfigImage& image, int formatIndex, std::span<const uint8_t> source);

/// Result of acceptImage().
enum class Acceptance { Refused = 0, Current = 1, Older = 2 };

/// Accepts an image received from the unit: `received` holds the image of
/// `formatIndex` followed by its 8-bit sum and that sum's complement. Refused (image
/// unchanged) when either check byte is wrong, the format index is unknown or the
/// bytes are too few; otherwise imports and tells whether the format was current.
Acceptance acceptImage(ConfigImage& image, int formatIndex, std::span<const uint8_t> received);

/// The two check bytes that follow an image of `size` bytes on its way from the unit.
std::array<uint8_t, 2> uploadCheckBytes(std::span<const uint8_t> image);

}  // namespace trv810::config
