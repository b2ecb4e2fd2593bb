#include <cstdio>

#include "config/config_window.h"
#include "config/control_ids.h"
#include "config/texts.h"

// The transfer commands of the configuration window and the end of a transfer.
//
// "TRV auslesen" uploads the image with its two check bytes into the staging buffer,
// asking for format 3 (the upload asks for 2 and 1 when the unit refuses). On
// RESULT_READ_DONE the window closes the port, puts the firmware version into its
// title and accepts the staging buffer by its check bytes. "TRV programmieren" reads
// the form back and, when it is valid, downloads the 898-byte image. Both set the
// progress range to 0..112 (one step per 8-byte block), whatever format arrives.

namespace trv810::config {
namespace {

constexpr uint8_t kReadCommand = 0x2C;
constexpr uint8_t kWriteCommand = 0x2A;
constexpr uint8_t kWriteBlockCommand = 0x2B;
constexpr uint8_t kBlockLength = 8;
constexpr int kProgressBlocks = static_cast<int>(kImageSize / kBlockLength);  // 112

std::string portFailureText(const std::string& portName, const std::string& reason) {
  char text[96];
  std::snprintf(text, sizeof text, std::string(texts::kPortOpenFailed).c_str(), portName.c_str());
  std::string message = text;
  if (!reason.empty()) message += "\n\n" + reason;
  return message;
}

std::string firmwareTitle(uint16_t version) {
  char text[64];
  std::snprintf(text, sizeof text, std::string(texts::kFirmwareTitleFormat).c_str(), version >> 4, version & 15);
  return text;
}

}  // namespace

void ConfigWindow::readUnit() {
  transfer_.state() = 0;
  transfer_.formatIndex() = kCurrentFormat;
  if (!openPort()) return;
  transfer::TransferRecord& r = transfer_.record();
  r.openCommand = kReadCommand;
  r.unitAddress = 0;
  r.formatIndex = kCurrentFormat;
  r.blockLength = kBlockLength;
  r.image = staging_.data();
  r.imageCapacity = staging_.size();
  r.requestParams[0] = 0;
  startTransfer(false);
}

void ConfigWindow::programUnit() {
  if (!validateForm()) return;
  transfer_.state() = 0;
  if (!openPort()) return;
  const auto bytes = image_.bytes();
  std::copy(bytes.begin(), bytes.end(), outgoing_.begin());
  sending_ = form_.state();
  transfer::TransferRecord& r = transfer_.record();
  r.openCommand = kWriteCommand;
  r.blockCommand = kWriteBlockCommand;
  r.unitAddress = 0;
  r.image = outgoing_.data();
  r.imageLength = static_cast<uint32_t>(kImageSize);
  r.blockLength = kBlockLength;
  // The image length 898 high byte first, then the format index.
  r.requestParams[0] = static_cast<uint8_t>(kImageSize >> 8);
  r.requestParams[1] = static_cast<uint8_t>(kImageSize & 0xFF);
  r.requestParams[2] = kCurrentFormat;
  startTransfer(true);
}

bool ConfigWindow::openPort() {
  const link::PortEntry& entry = port_.ports.entry(port_.selected);
  if (link_.openPort(entry.device)) return true;
  error(portFailureText(entry.name, link_.lastOpenFailure().reason()), texts::kWindowCaption);
  return false;
}

void ConfigWindow::startTransfer(bool download) {
  const bool started = download ? transfer_.startDownload(sink_) : transfer_.startUpload(sink_);
  if (!started) {
    link_.closePort();  // the flag is cleared and the port closed again
    error(texts::kThreadStartFailed, texts::kWindowCaption);
    return;
  }
  running_ = true;
  for (int id = ids::kProgram; id <= ids::kSave; ++id) controls_.setEnabled(id, false);
  host_.setProgressRange(0, kProgressBlocks);
  controls_.setEnabled(ids::kCancel, true);
}

void ConfigWindow::cancelTransfer() {
  host_.setWaitCursor(true);  // the threads get up to a second to end
  endTransfer();
  host_.setWaitCursor(false);
}

void ConfigWindow::endTransfer() {
  link_.closePort();
  running_ = false;
  host_.setProgressPosition(0);
  for (int id = ids::kProgram; id <= ids::kSave; ++id) controls_.setEnabled(id, true);
  controls_.setEnabled(ids::kCancel, false);
}

void ConfigWindow::onNotification(const transfer::Notification& n) {
  switch (n.message) {
    case transfer::WM_TRANSFER_PROGRESS:
      // closePort() clears the flag, so progress still queued from a stopped transfer is dropped.
      if (transfer_.active().load()) host_.setProgressPosition(static_cast<int>(n.wParam));
      break;
    case transfer::WM_TRANSFER_RESULT:
      // A result still queued when the transfer was cancelled belongs to nothing now.
      if (running_) onTransferResult(n.wParam);
      break;
    default:
      break;
  }
}

void ConfigWindow::onTransferResult(uint32_t code) {
  endTransfer();
  auto tell = [this](std::string_view text, platform::Icon icon) {
    host_.messageBox(text, texts::kResultCaption, icon);
  };
  switch (code) {
    case transfer::RESULT_NO_ANSWER:
      tell(texts::kNoAnswer, platform::Icon::Error);
      host_.setTitle(texts::kUnknownFirmwareTitle);
      break;
    case transfer::RESULT_ERASE_FAILED:
      tell(texts::kEraseFailed, platform::Icon::Error);
      break;
    case transfer::RESULT_BLOCK_FAILED:
      tell(texts::kBlockFailed, platform::Icon::Error);
      break;
    case transfer::RESULT_PROGRAMMED:
      saved_ = sending_;  // the unit holds what the form showed when the download started
      tell(texts::kProgrammed, platform::Icon::Information);
      break;
    case transfer::RESULT_INCOMPATIBLE:
      tell(texts::kIncompatible, platform::Icon::Error);
      break;
    case transfer::RESULT_READ_DONE:
      acceptReadImage();
      break;
    default:
      break;
  }
}

void ConfigWindow::acceptReadImage() {
  host_.setTitle(firmwareTitle(transfer_.record().firmwareVersion));
  switch (acceptImage(image_, transfer_.formatIndex().load(), staging_)) {
    case Acceptance::Refused:
      host_.messageBox(texts::kInvalidImage, texts::kResultCaption, platform::Icon::Error);
      return;
    case Acceptance::Current:
      host_.messageBox(texts::kReadDone, texts::kUploadCaption, platform::Icon::Information);
      break;
    case Acceptance::Older:
      host_.messageBox(texts::kOlderFirmware, texts::kUploadCaption, platform::Icon::Error);
      break;
  }
  host_.setScrollPosition(ids::kScrollBar, 0);
  form_.showImportedImage();
  saved_ = form_.state();
}

}  // namespace trv810::config
