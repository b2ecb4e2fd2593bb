#include "firmware/update_window.h"

#include <algorithm>
#include <cstdio>

#include "firmware/flash_loader.h"
#include "firmware/texts.h"
#include "platform/cp1252.h"
#include "transfer/download.h"

// How a download runs: "Programmieren" starts the firmware update operation
// (firmware_update.h), which opens the selected port and starts the thread posting to
// `sink`. The unit erases its flash first (the thread posts WM_TRANSFER_STARTED with
// every send of the opening request), then takes the blocks (WM_TRANSFER_PROGRESS
// after each) and ends with WM_TRANSFER_RESULT, whose report the operation gives after
// closing the port. "Stop" and closing the window close the port at once; the thread
// then posts nothing more, and what it posted before is dropped by the
// transfer-active flag that closePort() clears.

namespace trv810::firmware {

namespace {

std::string format(std::string_view pattern, auto... values) {
  char text[256];
  std::snprintf(text, sizeof text, std::string(pattern).c_str(), values...);
  return text;
}

/// The file name without its directory: the loader takes the extension from it.
std::string titleOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

window::WindowSpec UpdateWindow::layout(window::CellSize cell, int clientWidth) {
  const int w = cell.width;
  const int h = cell.height;
  const int high = 7 * h / 4;
  using window::ControlKind;
  using window::control;
  window::WindowSpec windowLayout;
  windowLayout.title = std::string(texts::kWindowTitle);
  windowLayout.frame = {clientWidth / 2 - 25 * w, h, 50 * w, 11 * h};
  // The buttons are tab stops, so the keyboard reaches the window; none is drawn as
  // the default, as Enter presses only the one that has the focus.
  windowLayout.controls = {
      control(ControlKind::Button, ids::kHexFile, std::string(texts::kHexFileButton), w, h, 15 * w, high).tabbed(),
      control(ControlKind::Static, ids::kFileName, std::string(texts::kNoFile), 17 * w, h, 30 * w, high).centre().path(),
      control(ControlKind::Button, ids::kProgram, std::string(texts::kProgramButton), w, 3 * h, 15 * w, high)
          .tabbed(),
      control(ControlKind::Button, ids::kStop, std::string(texts::kStopButton), 17 * w, 3 * h, 15 * w, high).tabbed(),
      // Two lines high and nearly as wide as the window: a stop adds a line under the
      // status.
      control(ControlKind::Static, ids::kStatus, std::string(texts::kNoStatus), w, 5 * h, 48 * w, 2 * h).centre(),
      control(ControlKind::ProgressBar, -1, "", w, 7 * h, 45 * w, high),
  };
  return windowLayout;
}

UpdateWindow::UpdateWindow(FlashImage& image, std::string& path, transfer::Transfer& transfer, PortChoice port,
                           window::ControlTable& controls, window::WindowHost& host,
                           transfer::NotificationSink& sink)
    : image_(image),
      path_(path),
      transfer_(transfer),
      port_(port),
      controls_(controls),
      host_(host),
      sink_(sink),
      update_(transfer, image) {}

UpdateWindow::~UpdateWindow() { update_.stop(); }

void UpdateWindow::onCreate() {
  host_.setTitle(texts::kWindowTitle);
  controls_.setText(ids::kFileName, platform::utf8ToCp1252(texts::kNoFile).bytes);
  setStatus(texts::kNoStatus);
  host_.setProgressPosition(0);
  setButtons(true, false, false);
  host_.setFocus(ids::kHexFile, false);  // the keyboard starts in the window, at its first button
}

bool UpdateWindow::onCloseRequest() {
  if (!running_) return true;
  // "Ja" breaks the programming off, so Enter must not give it.
  const std::string question = std::string(texts::kCloseWhileProgramming) + "\n\n" + std::string(texts::kFirmwareIncomplete);
  return host_.messageBox(question, texts::kCaption, window::Icon::Question, window::Buttons::YesNo,
                          window::Answer::No) == window::Answer::Yes;
}

void UpdateWindow::onClose() {
  update_.stop();
  running_ = false;
  closed_ = true;  // a result still queued must not raise a box for a window that is gone
  host_.setTicking(false);
}

void UpdateWindow::onCommand(int id) {
  // A disabled button takes no clicks; this keeps the three states whatever the toolkit.
  if (!controls_.enabled(id)) return;
  switch (id) {
    case ids::kHexFile:
      chooseFile();
      break;
    case ids::kProgram:
      program();
      break;
    case ids::kStop:
      stop();
      break;
    default:
      break;
  }
}

void UpdateWindow::chooseFile() {
  window::FileDialogRequest request;
  request.filterName = std::string(texts::kFlashFilterName);
  request.filterPatterns = std::string(texts::kFlashFilterPatterns);
  request.moreFilters.push_back({std::string(texts::kConfigFilterName), std::string(texts::kConfigFilterPatterns)});
  request.startPath = path_;
  if (std::optional<std::string> chosen = window::chooseFile(host_, request, history_, false))
    onFileChosen(*chosen);
  else  // the label shows the path as it stands: empty after cancelling a first dialog
    controls_.setText(ids::kFileName, platform::utf8ToCp1252(path_).bytes);
}

void UpdateWindow::onFileChosen(const std::string& path) {
  path_ = path;
  host_.setWaitCursor(true);
  const LoadResult result = loadFlashImage(image_, path_, titleOf(path_));
  host_.setWaitCursor(false);
  if (result) {
    if (history_) history_->used(path_);
    controls_.setEnabled(ids::kProgram, true);
    controls_.setText(ids::kFileName, platform::utf8ToCp1252(path_).bytes);
    if (const std::string warning = loadWarning(result); !warning.empty()) setStatus(warning);
    // The copy is a by-product: the image can be programmed all the same, but the user
    // must not count on a .bin that is not there (or is an older one).
    if (rawCopyFailed(result))
      show({std::string(texts::kRawCopyNotWritten),
            result.rawCopy.message + ".\n" + std::string(texts::kRawCopyImageLoaded), texts::kCaption,
            window::Icon::Error});
    return;
  }
  path_.clear();
  // Nothing is loaded now: the label and the status line show their empty state, not
  // the last file or the last transfer's result.
  controls_.setText(ids::kFileName, platform::utf8ToCp1252(texts::kNoFile).bytes);
  setStatus(texts::kNoStatus);
  controls_.setEnabled(ids::kProgram, false);
  show({std::string(texts::kInvalidFile), describe(result), texts::kCaption, window::Icon::Error});
}

void UpdateWindow::openFile(const std::string& path) {
  // "Hex-Datei" is disabled while programming runs, which reads the image.
  if (controls_.enabled(ids::kHexFile)) onFileChosen(path);
}

void UpdateWindow::program() {
  const transfer::Start start = update_.start(port_.target(), sink_);
  if (!start) {
    show(start.message);
    return;
  }
  running_ = true;
  // The focus goes to "Stop" before the button that had it is disabled, so the
  // keyboard stays in the window and Space, Enter or Alt+S stops the programming.
  controls_.setEnabled(ids::kStop, true);
  host_.setFocus(ids::kStop, false);
  setButtons(false, false, true);
  // An empty range would make the bar an endless busy animation: an image of fewer
  // than eight bytes has one step all the same.
  host_.setProgressRange(0, std::max(1, static_cast<int>(update_.blocks() & 0xFFFF)));
  erasingSince_ = host_.now();
  requestsSent_ = 0;
  blocksStarted_ = false;
  estimate_ = transfer::ProgressEstimate(update_.blocks());
  host_.setTicking(true);
}

void UpdateWindow::stop() {
  host_.setWaitCursor(true);  // the threads get up to a second to end
  update_.stop();
  endTransfer();
  host_.setWaitCursor(false);
  // The unit kept the blocks it had: its firmware is incomplete until programmed again.
  setStatus(std::string(texts::kStopped) + "\n" + std::string(texts::kFirmwareIncomplete));
}

void UpdateWindow::endTransfer() {
  running_ = false;
  host_.setTicking(false);
  host_.setProgressPosition(0);
  controls_.setEnabled(ids::kHexFile, true);
  controls_.setEnabled(ids::kProgram, true);
  // Back to "Programmieren" before "Stop" is disabled, unless the user put the focus
  // elsewhere meanwhile.
  if (host_.focus() == ids::kStop) host_.setFocus(ids::kProgram, false);
  controls_.setEnabled(ids::kStop, false);
}

void UpdateWindow::onNotification(const transfer::Notification& n) {
  if (closed_) return;
  // closePort() clears the flag, so progress and start notices still queued from a
  // stopped transfer are dropped: they would overwrite "Programmierung abgebrochen !".
  const bool active = transfer_.active().load();
  switch (n.message) {
    case transfer::WM_TRANSFER_PROGRESS:
      if (!active) break;
      host_.setProgressPosition(static_cast<int>(n.wParam));
      blocksStarted_ = true;
      blocksDone_ = n.wParam;
      estimate_.update(n.wParam, host_.now());
      showProgress();
      break;
    case transfer::WM_TRANSFER_STARTED:
      // Posted once the request is built (0) and with every sending of it (1).
      if (!active) break;
      if (n.wParam == 1) ++requestsSent_;
      showProgress();
      break;
    case transfer::WM_TRANSFER_RESULT:
      // Acted on also after "Stop": a result posted before the stop is still told.
      onTransferResult(n.wParam);
      break;
    default:
      break;
  }
}

void UpdateWindow::onTick() {
  if (running_ && !closed_) showProgress();
}

void UpdateWindow::onTransferResult(uint32_t code) {
  const transfer::Report report = update_.end(code);
  endTransfer();
  // Only success says the programming ended: a broken connection or a failed block
  // leaves the unit without a whole firmware, and the status line says so.
  if (code == transfer::RESULT_PROGRAMMED)
    setStatus(texts::kFinished);
  else if (leavesFirmwareIncomplete(code))
    setStatus(std::string(texts::kFailed) + "\n" + std::string(texts::kFirmwareIncomplete));
  else
    setStatus(texts::kFailed);
  if (report.message) show(*report.message);
}

void UpdateWindow::showProgress() {
  const auto now = host_.now();
  std::string lines;
  if (!blocksStarted_) {
    const std::string since =
        transfer::clockText(std::chrono::duration<double>(now - erasingSince_).count());
    lines = std::string(texts::kErasing) + "\n" +
            (requestsSent_ > 1 ? format(texts::kErasingAttempt, requestsSent_, transfer::Download::kMaxSends,
                                        since.c_str())
                               : format(texts::kErasingSince, since.c_str()));
  } else {
    lines = format(texts::kProgressFormat, static_cast<int>(blocksDone_), static_cast<int>(update_.blocks())) +
            "\n";
    if (const std::optional<double> left = estimate_.secondsLeft(now))
      lines += format(texts::kPercentLeftFormat, estimate_.percent(), transfer::clockText(*left).c_str());
    else
      lines += format(texts::kPercentFormat, estimate_.percent());
  }
  setStatus(lines);
}

void UpdateWindow::setButtons(bool hexFile, bool program, bool stop) {
  controls_.setEnabled(ids::kHexFile, hexFile);
  controls_.setEnabled(ids::kProgram, program);
  controls_.setEnabled(ids::kStop, stop);
}

void UpdateWindow::setStatus(std::string_view utf8) {
  // Only a change is written: the ticks would otherwise redraw the line four times a second.
  std::string bytes = platform::utf8ToCp1252(utf8).bytes;
  if (bytes != controls_.text(ids::kStatus)) controls_.setText(ids::kStatus, bytes);
}

void UpdateWindow::show(const transfer::Message& message) {
  host_.messageBox(message.boxText(), message.caption, message.icon);
}

}  // namespace trv810::firmware
