#pragma once
// "TRV auslesen" and "TRV programmieren" as operations (transfer/operation.h): the
// configuration window and trv810ctl start them and show their reports.
//
// The read asks the unit for format 3 (the upload asks for 2 and 1 when the unit
// refuses) into the staging buffer; on RESULT_READ_DONE the buffer is accepted by its
// check bytes and imported into the ConfigImage. The write sends a copy of the
// 898-byte image taken at the start, so nothing the user changes meanwhile reaches the
// bytes the thread is sending.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "config/config_image.h"
#include "transfer/operation.h"

namespace trv810::config {

/// The window's title once the unit named its firmware: "TRV810-Konfiguration,
/// Firmware 01.07" for the version byte 0x17.
std::string firmwareTitle(uint16_t version);

/// How a read ended; for RESULT_READ_DONE also what arrived.
struct ReadReport : transfer::Report {
  Acceptance acceptance = Acceptance::Refused;
  uint16_t firmwareVersion = 0;
  int formatIndex = 0;  ///< the format the unit delivered
  bool imported() const { return acceptance != Acceptance::Refused; }
};

class ConfigurationRead : public transfer::Operation {
 public:
  /// The staging buffer must outlive the operation.
  ConfigurationRead(transfer::Transfer& transfer, StagingBuffer& staging);

  /// Opens `port` and starts the upload of format 3 into the staging buffer.
  transfer::Start start(const transfer::PortTarget& port, transfer::NotificationSink& sink);
  /// The result: closes the port; on RESULT_READ_DONE accepts the staging buffer into
  /// `image` (unchanged when its check bytes are wrong).
  ReadReport end(uint32_t code, ConfigImage& image);

 private:
  StagingBuffer& staging_;
};

class ConfigurationWrite : public transfer::Operation {
 public:
  explicit ConfigurationWrite(transfer::Transfer& transfer);

  /// Opens `port` and starts the download of a copy of `image`.
  transfer::Start start(const transfer::PortTarget& port, std::span<const uint8_t, kImageSize> image,
                        transfer::NotificationSink& sink);
  /// The result: closes the port; RESULT_PROGRAMMED is success.
  transfer::Report end(uint32_t code) { return finish(code); }

 private:
  std::array<uint8_t, kImageSize> outgoing_{};
};

}  // namespace trv810::config
