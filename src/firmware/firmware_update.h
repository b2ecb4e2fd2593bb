#pragma once
// Firmware "Programmieren" as an operation (transfer/operation.h): the flash-update
// window and trv810ctl flash start it and show its report. It downloads the
// FlashImage as it stands when it starts, announced with its number of whole 8-byte
// blocks; the FlashImage must not change while it runs (the window disables loading).

#include <cstdint>

#include "firmware/flash_image.h"
#include "transfer/operation.h"

namespace trv810::firmware {

/// Whether a programming that ended with result `code` left the unit's firmware
/// incomplete: every end but success and the unit's refusal of the request, after
/// which it erased nothing.
bool leavesFirmwareIncomplete(uint32_t code);

class FirmwareUpdate : public transfer::Operation {
 public:
  /// `image` must outlive the operation.
  FirmwareUpdate(transfer::Transfer& transfer, FlashImage& image);

  /// Opens `port` and starts the download. An image of 65,536 blocks or more is
  /// refused before the port is opened: the request announces the count in 16 bits.
  transfer::Start start(const transfer::PortTarget& port, transfer::NotificationSink& sink);
  /// The result: closes the port; RESULT_PROGRAMMED is success.
  transfer::Report end(uint32_t code) { return finish(code); }

  /// The image's whole 8-byte blocks, as the status line counts them.
  uint32_t blocks() const { return image_.length() >> 3; }

 private:
  FlashImage& image_;
};

}  // namespace trv810::firmware
