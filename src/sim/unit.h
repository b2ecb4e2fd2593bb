#pragma once
// The simulated TRV810's side of the protocol, without I/O and without a clock: frames
// in, frames out with the time each is due. The caller feeds every received payload
// with the time it was complete on the line, keeps the frames it gets back until their
// time, and calls onDeadline() once deadline() has passed.
//
// Download (the host writes an image; aa is the host's unit address, echoed back):
//   2A aa 03 82 03 ...     F0 aa, then after the erase delay 50 aa (51 aa: incompatible)
//   2B aa lo hi d0..d7     F0 aa, then 60 aa: block lo hi stored at lo hi × 8;
//                          63 aa lo hi: it came ahead of the block expected, send again
//                          from the expected one
//   2B aa FF FF d0..d7     the final block: stored where the expected block goes, 60 aa,
//                          and the image is complete
//   30 aa lo hi ...        the same for firmware with blocks 31; lo hi counts the whole
//                          8-byte blocks of the image
// Upload (the host reads the configuration):
//   2C aa ff 00            F5 aa vv when format ff is not delivered; else the accept
//                          F0 aa vv ff size(2) blocks(2) "TRV810" 00, then block 0
//   (unit) 2C aa vv lo hi d0..d7, block by block, the last one numbered FF FF
//   60 aa                  the next block; 63 aa lo hi: again from block lo hi; nothing
//                          within the resend time: the same block again
// Every other frame is acknowledged (F0 aa) and answered with 62 aa, which the host
// takes as a failure. Acknowledges from the host (60, 61, 63) are never answered.
//
// Units that answer without ever getting anywhere, for the host's overall time limit:
// `chatter` accepts a read and then sends F0 aa every 100 ms and no block;
// `wrongBlock` numbers every block of a read one above its place (never FF FF) and
// sends it again at once on every 63; `restartDownload` answers every download block
// with 63 aa 00 00, "send again from block 0".

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "sim/image_formats.h"

namespace trv810::sim {

using Micros = std::chrono::microseconds;

/// Reply and command codes of the protocol.
namespace code {
inline constexpr uint8_t kConfigWrite = 0x2A;
inline constexpr uint8_t kConfigBlock = 0x2B;
inline constexpr uint8_t kConfigRead = 0x2C;
inline constexpr uint8_t kFirmwareWrite = 0x30;
inline constexpr uint8_t kFirmwareBlock = 0x31;
inline constexpr uint8_t kAcknowledge = 0xF0;
inline constexpr uint8_t kRefused = 0xF5;
inline constexpr uint8_t kReady = 0x50;
inline constexpr uint8_t kIncompatible = 0x51;
inline constexpr uint8_t kBlockAccepted = 0x60;
inline constexpr uint8_t kBlockAcceptedToo = 0x61;
inline constexpr uint8_t kNotExpected = 0x62;
inline constexpr uint8_t kSendFrom = 0x63;
}  // namespace code

inline constexpr uint16_t kFinalBlock = 0xFFFF;
/// How often a chattering unit acknowledges.
inline constexpr Micros kChatterInterval = std::chrono::milliseconds(100);
/// Largest firmware image: 0x10000 blocks of 8 bytes.
inline constexpr std::size_t kMaxFirmware = 0x10000 * kBlockLength;

struct UnitSettings {
  uint8_t firmwareVersion = 0x17;
  std::vector<int> formats{3, 2, 1};  ///< formats the unit delivers and takes
  bool badChecksum = false;           ///< uploads carry a wrong sum byte
  bool incompatible = false;          ///< 51 to every download, F5 to every format
  bool silent = false;                ///< never answers
  bool chatter = false;               ///< after accepting a read, F0 every 100 ms instead of blocks
  bool wrongBlock = false;            ///< every block of a read numbered one too high
  bool restartDownload = false;       ///< 63 00 00 to every download block
  Micros eraseDelay = std::chrono::milliseconds(1500);
  Micros uploadResendAfter = std::chrono::milliseconds(600);
  int uploadResendLimit = 10;  ///< resends of one block without a word from the host
};

struct Outgoing {
  Micros at;  ///< when the frame is due on the line
  std::vector<uint8_t> payload;
  friend bool operator==(const Outgoing&, const Outgoing&) = default;
};

enum class Completed { None, Config, Firmware, Upload };

/// What one input made the unit do.
struct Step {
  std::vector<Outgoing> frames;
  Completed completed = Completed::None;
};

struct UnitCounters {
  uint64_t configDownloads = 0;
  uint64_t firmwareDownloads = 0;
  uint64_t uploads = 0;
  uint64_t blocksStored = 0;
  uint64_t blocksSent = 0;
  uint64_t uploadResends = 0;  ///< blocks sent again because no 60 came in time
  uint64_t erases = 0;
  Micros eraseDelay{0};        ///< the erase delays put in so far
};

class Unit {
 public:
  /// A unit holding the 898-byte configuration `image` and no firmware.
  Unit(UnitSettings settings, std::span<const uint8_t, kImageSize> image);

  /// The host's frame `payload`, complete on the line at `now`.
  Step onFrame(std::span<const uint8_t> payload, Micros now);
  /// When the unit next wants onDeadline(): a block of the upload is due again.
  std::optional<Micros> deadline() const;
  /// Time has reached `now`: resends the upload's block if its answer is overdue.
  Step onDeadline(Micros now);

  /// The configuration it holds: the one it started with or the last one written.
  std::span<const uint8_t, kImageSize> configImage() const { return image_; }
  /// The format of the last configuration written to it (3 until one is written).
  int configFormat() const { return configFormat_; }
  /// The firmware of the last completed firmware download.
  const std::vector<uint8_t>& firmware() const { return firmware_; }
  const UnitCounters& counters() const { return counters_; }
  const UnitSettings& settings() const { return settings_; }

 private:
  enum class Kind { Config, Firmware };
  struct Download {
    Kind kind;
    uint8_t blockCommand;
    int format = 0;             // config: format of the image being written
    std::size_t announced = 0;  // config: image bytes; firmware: whole 8-byte blocks
    std::size_t expected = 0;
    std::vector<uint8_t> data;
  };
  struct Upload {
    uint8_t address;
    std::vector<uint8_t> payload;
    std::size_t inFlight = 0;  // the block sent last, whose 60 is awaited
    Micros due{0};
    int resends = 0;
  };

  Step openDownload(std::span<const uint8_t> p, Micros now);
  Step takeBlock(std::span<const uint8_t> p, Micros now);
  Step finishDownload(uint8_t address, Micros now);
  Step openUpload(std::span<const uint8_t> p, Micros now);
  Step onUploadAnswer(std::span<const uint8_t> p, Micros now);
  Outgoing uploadBlock(Micros now);
  bool delivers(int format) const;
  void storeConfig(const Download& d);
  void storeFirmware(const Download& d);

  UnitSettings settings_;
  std::array<uint8_t, kImageSize> image_{};
  int configFormat_ = 3;
  std::vector<uint8_t> firmware_;
  std::optional<Download> download_;
  std::optional<Upload> upload_;
  std::optional<Micros> chatterDue_;  // the next acknowledge of a chattering unit
  uint8_t chatterAddress_ = 0;
  UnitCounters counters_;
};

}  // namespace trv810::sim
