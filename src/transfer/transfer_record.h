#pragma once
// What a transfer is told and how it answers. The TransferRecord describes the
// transfer a window starts; the transfer reports back with notifications, posted
// (never sent) so the transfer thread never waits for the window.
//
// The record is zero at start and never cleared: each caller sets the fields it needs
// right before it starts a transfer, every other field keeps what an earlier transfer
// left in it (so a firmware update after a configuration write still carries 0x03 in
// its third request parameter, as the unit has always seen it).

#include <array>
#include <cstddef>
#include <cstdint>

namespace trv810::transfer {

struct TransferRecord {
  uint8_t openCommand = 0;   ///< first byte of the opening request (upload: of every block too)
  uint8_t blockCommand = 0;  ///< first byte of every block frame a download sends
  uint8_t unitAddress = 0;   ///< second byte of every frame sent
  uint8_t formatIndex = 0;   ///< upload: the image format asked for
  uint16_t firmwareVersion = 0;  ///< upload: byte 2 of the last block frame received
  uint8_t* image = nullptr;  ///< download: bytes to send; upload: where blocks are stored
  std::array<uint8_t, 10> requestParams{};  ///< download: request bytes 2..11; upload: byte 3
  uint32_t imageLength = 0;  ///< download: number of image bytes to send
  uint8_t blockLength = 0;   ///< image bytes per block frame
  std::size_t imageCapacity = 0;  ///< upload: room at `image`; blocks beyond it are refused
};

// Notification numbers (the window messages of the desktop program).
inline constexpr unsigned WM_TRANSFER_PROGRESS = 0x400;
inline constexpr unsigned WM_TRANSFER_STARTED = 0x401;
inline constexpr unsigned WM_TRANSFER_RESULT = 0x402;
inline constexpr unsigned WM_TRANSFER_ACCEPTED = 0x403;

// Result codes, the wParam of WM_TRANSFER_RESULT.
inline constexpr uint32_t RESULT_NO_ANSWER = 0;
inline constexpr uint32_t RESULT_ERASE_FAILED = 1;
inline constexpr uint32_t RESULT_BLOCK_FAILED = 2;
inline constexpr uint32_t RESULT_PROGRAMMED = 3;
inline constexpr uint32_t RESULT_INCOMPATIBLE = 4;
inline constexpr uint32_t RESULT_READ_DONE = 5;

/// The final block of every transfer carries this block number.
inline constexpr uint16_t kFinalBlock = 0xFFFF;

/// The transfer state in which a transfer has posted its result and waits for stop.
inline constexpr int kStateFinished = 10;

struct Notification {
  unsigned message = 0;
  uint32_t wParam = 0;
  intptr_t lParam = 0;
  /// WM_TRANSFER_ACCEPTED: the unit's accept reply from byte 2 on (zero beyond its
  /// end). A copy, since the transfer's own storage does not outlive the message.
  std::array<uint8_t, 13> accepted{};

  friend bool operator==(const Notification&, const Notification&) = default;
};

/// Where a transfer posts its notifications. post() is called on the transfer thread;
/// it must be thread-safe and must never block.
class NotificationSink {
 public:
  virtual ~NotificationSink() = default;
  virtual void post(const Notification& notification) = 0;
};

}  // namespace trv810::transfer
