#pragma once
// "TRV auslesen" and "TRV programmieren" for the command line, with the
// configuration window's records, acceptance and texts. Results are told through the
// session: the window's success texts as information, failures as failures.

#include <cstdint>
#include <span>

#include "cli/transfer_session.h"
#include "config/config_image.h"
#include "transfer/operation.h"

namespace trv810::cli {

/// What a configuration read brought.
struct ReadOutcome {
  int status = kExitFailed;  ///< kExitOk when `image` holds the accepted configuration
  config::Acceptance acceptance = config::Acceptance::Refused;
  uint16_t firmwareVersion = 0;
  int formatIndex = 0;  ///< the format the unit delivered
};

/// Reads the configuration (formats 3, 2, 1 as the unit allows), checks its check
/// bytes and imports it into `image`. Unless `silentSuccess`, prints the firmware line
/// and "Konfiguration gelesen !" or the older-firmware message; failures always.
ReadOutcome readConfiguration(TransferSession& session, config::ConfigImage& image, bool silentSuccess = false);

/// Writes the 898-byte `image` to the unit; kExitOk on "Programmierung erfolgreich !".
int writeConfiguration(TransferSession& session, std::span<const uint8_t, config::kImageSize> image);

/// The exit status and message for a run that ended otherwise than with a result.
int reportStopped(const TransferSession& session, const RunOutcome& outcome, const char* whatWasLeft);

/// Tells the message of a result that is not success (with its detail line) and
/// returns kExitFailed.
int reportFailedResult(const TransferSession& session, const transfer::Report& report);

}  // namespace trv810::cli
