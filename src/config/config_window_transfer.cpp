#include "config/config_window.h"
#include "config/control_ids.h"
#include "config/texts.h"

// The transfer commands of the configuration window and the end of a transfer.
//
// "TRV auslesen" and "TRV programmieren" start their operations (config_operations.h);
// "TRV programmieren" first reads the form back and sends nothing when it is invalid.
// Both set the progress range to 0..112 (one step per 8-byte block), whatever format
// arrives. The result's report says what to show; a read that brought the firmware
// version puts it into the title before its message, a connection that broke off
// takes it out of the title after its message.

namespace trv810::config {
namespace {

constexpr int kProgressBlocks = static_cast<int>(kImageSize / 8);  // 112

}  // namespace

void ConfigWindow::readUnit() { startTransfer(read_.start(port_.target(), sink_), true); }

void ConfigWindow::programUnit() {
  if (!validateForm()) return;
  sending_ = form_.state();
  startTransfer(write_.start(port_.target(), image_.bytes(), sink_), false);
}

void ConfigWindow::startTransfer(const transfer::Start& start, bool reading) {
  if (!start) {
    show(start.message);
    return;
  }
  running_ = true;
  reading_ = reading;
  for (int id = ids::kProgram; id <= ids::kSave; ++id) controls_.setEnabled(id, false);
  host_.setProgressRange(0, kProgressBlocks);
  controls_.setEnabled(ids::kCancel, true);
}

void ConfigWindow::cancelTransfer() {
  host_.setWaitCursor(true);  // the threads get up to a second to end
  read_.stop();
  write_.stop();
  endTransfer();
  host_.setWaitCursor(false);
}

void ConfigWindow::endTransfer() {
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
  ReadReport report;
  if (reading_)
    report = read_.end(code, image_);
  else
    static_cast<transfer::Report&>(report) = write_.end(code);
  endTransfer();
  if (code == transfer::RESULT_READ_DONE) host_.setTitle(firmwareTitle(report.firmwareVersion));
  if (code == transfer::RESULT_PROGRAMMED) saved_ = sending_;  // the unit holds what the form showed then
  if (report.message) show(*report.message);
  if (code == transfer::RESULT_NO_ANSWER) host_.setTitle(texts::kUnknownFirmwareTitle);
  if (!report.imported()) return;
  host_.setScrollPosition(ids::kScrollBar, 0);
  form_.showImportedImage();
  saved_ = form_.state();
}

void ConfigWindow::show(const transfer::Message& message) {
  host_.messageBox(message.boxText(), message.caption, message.icon);
}

}  // namespace trv810::config
