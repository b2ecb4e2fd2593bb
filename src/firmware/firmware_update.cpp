#include "firmware/firmware_update.h"

#include <cstdio>
#include <string>

#include "firmware/texts.h"
#include "transfer/requests.h"

namespace trv810::firmware {
namespace {

// The flash-update window's words. The refusal of an incompatible unit is told too,
// rather than left to "Programmierung beendet.", which reads like success.
constexpr transfer::OperationTexts kTexts{texts::kCaption,     texts::kPortOpenFailed, texts::kThreadStartFailed,
                                          texts::kCaption,     texts::kNoAnswer,       texts::kEraseFailed,
                                          texts::kBlockFailed, texts::kProgrammed,     texts::kIncompatible};

}  // namespace

bool leavesFirmwareIncomplete(uint32_t code) {
  return code != transfer::RESULT_PROGRAMMED && code != transfer::RESULT_INCOMPATIBLE;
}

FirmwareUpdate::FirmwareUpdate(transfer::Transfer& transfer, FlashImage& image)
    : Operation(transfer, kTexts), image_(image) {}

transfer::Start FirmwareUpdate::start(const transfer::PortTarget& port, transfer::NotificationSink& sink) {
  const uint32_t length = image_.length();
  // 65,536 blocks would be announced as 0 in the 16-bit block count.
  if (length > transfer::kMaxAnnouncedFirmwareLength) {
    char text[200];
    std::snprintf(text, sizeof text, std::string(texts::kImageTooLarge).c_str(), unsigned{length},
                  unsigned{transfer::kMaxAnnouncedFirmwareLength});
    return refuse(text);
  }
  return begin(transfer::Transfer::Kind::Download, port,
               [this, length](transfer::TransferRecord& r) {
                 transfer::prepareFirmwareUpdate(r, image_.buffer().data(), length);
               },
               sink);
}

}  // namespace trv810::firmware
