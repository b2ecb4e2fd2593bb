#include <cstdio>

#include "config/config_window.h"
#include "config/control_ids.h"
#include "config/texts.h"
#include "platform/cp1252.h"
#include "transfer/download.h"
#include "transfer/progress_estimate.h"

// The transfer commands of the configuration window and the end of a transfer.
//
// "TRV auslesen" and "TRV programmieren" start their operations (config_operations.h);
// "TRV programmieren" first reads the form back and sends nothing when it is invalid.
// Both set the progress range to 0..112 (one step per 8-byte block), whatever format
// arrives. The result's report says what to show; a read that brought the firmware
// version puts it into the title before its message, a connection that broke off
// takes it out of the title after its message. A read fills the form before its
// message, so the box never stands over an empty form.
//
// The status line: a read waits for the unit's answer (up to five requests of 1.5 s
// each when none comes), then receives the blocks; a write waits while the unit
// erases its flash (a second sending of the request means no answer came), then sends
// the blocks. Each phase shows how long it has taken, moved on by the host's ticks.

namespace trv810::config {
namespace {

constexpr int kProgressBlocks = static_cast<int>(kImageSize / 8);  // 112

}  // namespace

void ConfigWindow::readUnit() {
  if (!mayReplaceForm(texts::kReadQuestion)) return;
  startTransfer(read_.start(port_.target(), sink_), true);
}

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
  startedBy_ = reading ? ids::kRead : ids::kProgram;
  // The focus goes to "Abbrechen" before the button that had it is disabled, so the
  // keyboard stays in the window and Space or Enter stops the transfer.
  controls_.setEnabled(ids::kCancel, true);
  host_.setFocus(ids::kCancel, false);
  for (int id = ids::kProgram; id <= ids::kSave; ++id) controls_.setEnabled(id, false);
  host_.setProgressRange(0, kProgressBlocks);
  notice_.clear();
  requestsSent_ = 0;
  enterPhase(reading ? Phase::Waiting : Phase::Erasing);
  host_.setTicking(true);
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
  host_.setTicking(false);
  host_.setProgressPosition(0);
  for (int id = ids::kProgram; id <= ids::kSave; ++id) controls_.setEnabled(id, true);
  // The focus goes back to the button that started the transfer, unless the user has
  // put it elsewhere meanwhile.
  if (host_.focus() == ids::kCancel) host_.setFocus(startedBy_, false);
  controls_.setEnabled(ids::kCancel, false);
  showStatus();
}

void ConfigWindow::onNotification(const transfer::Notification& n) {
  // closePort() clears the flag, so notices still queued from a stopped transfer are dropped.
  const bool active = running_ && transfer_.active().load();
  switch (n.message) {
    case transfer::WM_TRANSFER_PROGRESS:
      if (!active) break;
      host_.setProgressPosition(static_cast<int>(n.wParam));
      if (const Phase blocks = reading_ ? Phase::Receiving : Phase::Sending; phase_ != blocks) enterPhase(blocks);
      break;
    case transfer::WM_TRANSFER_ACCEPTED:
      if (active && phase_ == Phase::Waiting) enterPhase(Phase::Receiving);
      break;
    case transfer::WM_TRANSFER_STARTED:
      // Posted with every sending of the write's request.
      if (active && n.wParam == 1) {
        ++requestsSent_;
        showStatus();
      }
      break;
    case transfer::WM_TRANSFER_RESULT:
      // A result still queued when the transfer was cancelled belongs to nothing now.
      if (running_) onTransferResult(n.wParam);
      break;
    default:
      break;
  }
}

void ConfigWindow::onTick() {
  if (running_) showStatus();
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
  if (report.imported()) {
    controls_.setSelection(ids::kScrollBar, 0);
    form_.showImportedImage();
    saved_ = form_.state();
  }
  if (report.message) show(*report.message);
  if (code == transfer::RESULT_NO_ANSWER) host_.setTitle(texts::kUnknownFirmwareTitle);
}

void ConfigWindow::enterPhase(Phase phase) {
  phase_ = phase;
  phaseSince_ = host_.now();
  showStatus();
}

void ConfigWindow::showStatus() {
  std::string line;
  if (running_) {
    switch (phase_) {
      case Phase::Waiting: line = texts::kWaitingForUnit; break;
      case Phase::Receiving: line = texts::kReadingStatus; break;
      case Phase::Erasing: line = texts::kErasingStatus; break;
      case Phase::Sending: line = texts::kWritingStatus; break;
    }
    if (phase_ == Phase::Erasing && requestsSent_ > 1) {
      char attempt[64];
      std::snprintf(attempt, sizeof attempt, std::string(texts::kAttemptFormat).c_str(), requestsSent_,
                    transfer::Download::kMaxSends);
      line += std::string(" ") + attempt + ",";
    }
    line += " " + transfer::clockText(std::chrono::duration<double>(host_.now() - phaseSince_).count());
  }
  if (!notice_.empty()) line += (line.empty() ? "" : "\n") + notice_;
  setStatus(line);
}

void ConfigWindow::setStatus(std::string_view utf8) {
  std::string bytes = platform::utf8ToCp1252(utf8).bytes;
  if (bytes != controls_.text(ids::kStatus)) controls_.setText(ids::kStatus, bytes);
}

void ConfigWindow::show(const transfer::Message& message) {
  host_.messageBox(message.boxText(), message.caption, message.icon);
}

}  // namespace trv810::config
