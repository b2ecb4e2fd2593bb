#pragma once
// The flash-update window's logic: "Hex-Datei" loads a firmware file into the
// FlashImage, "Programmieren" downloads it to the unit, "Stop" ends the download; a
// status line and the progress bar follow the transfer's notifications. It sees its
// controls through a ControlTable and the toolkit through a WindowHost; the toolkit
// forwards clicks to onCommand() and the transfer's notifications to onNotification().
//
// The buttons take one of three states: idle without a loaded file ("Hex-Datei"
// only), idle with a file ("Hex-Datei" and "Programmieren"), a transfer running
// ("Stop" only). So the FlashImage never changes while the download reads it. The
// focus follows: to "Stop" when programming starts, back to "Programmieren" when it
// ends, so the keyboard always reaches the button that can act.
//
// While programming runs the status line says what happens and how far it has come:
// the erase with the time it has taken, then the blocks with the share done and the
// time left (the host ticks the window, so the clock moves between notifications).
// Every programming that did not finish ends with kFirmwareIncomplete under it.
//
// The path of the file loaded last belongs to the caller and outlives the window:
// the file dialog starts from it when the window is opened again. The menu entries
// that keep this window single are the main window's affair.

#include <string>

#include "firmware/firmware_update.h"
#include "firmware/flash_image.h"
#include "window/control_input.h"
#include "window/controls.h"
#include "window/layout.h"
#include "window/file_history.h"
#include "window/window_host.h"
#include "transfer/progress_estimate.h"
#include "transfer/transfer.h"
#include "transfer/transfer_record.h"

namespace trv810::firmware {

/// Control ids of the flash-update window. The file name label and the status line
/// have ids of their own here, since the logic reaches them through the table.
namespace ids {
inline constexpr int kHexFile = 60;
inline constexpr int kProgram = 61;
inline constexpr int kStop = 62;
inline constexpr int kFileName = 63;
inline constexpr int kStatus = 64;
}  // namespace ids

/// The port the user chose, read at the moment "Programmieren" opens the port.
using PortChoice = transfer::PortChoice;

class UpdateWindow {
 public:
  /// The window's frame (relative to the main window's client area, `clientWidth`
  /// wide) and its six controls in creation order, for `cell`.
  static window::WindowSpec layout(window::CellSize cell, int clientWidth);

  /// Keeps references to everything; all must outlive the window. `path` is the path
  /// of the firmware file chosen last. `sink` receives the transfer's notifications
  /// (the toolkit hands them back to onNotification()).
  UpdateWindow(FlashImage& image, std::string& path, transfer::Transfer& transfer, PortChoice port,
               window::ControlTable& controls, window::WindowHost& host, transfer::NotificationSink& sink);
  /// Stops a transfer that still runs, so no thread posts to `sink` any more.
  ~UpdateWindow();
  UpdateWindow(const UpdateWindow&) = delete;
  UpdateWindow& operator=(const UpdateWindow&) = delete;

  /// What the file dialog remembers beyond the run (must outlive the window).
  void useFileHistory(window::FileHistory& history) { history_ = &history; }

  /// Where the face sends the user's input: clicks on the buttons.
  window::ControlInput input() { return window::clicksTo([this](int id) { onCommand(id); }); }

  /// After the controls exist: the title, "----------" and "-", an empty progress
  /// bar, only "Hex-Datei" enabled.
  void onCreate();
  /// The user asks to close the window: true when it may close. While the unit is being
  /// programmed the user is asked first, as stopping leaves its firmware incomplete.
  bool onCloseRequest();
  /// The window closes: stops a running transfer (closing the port), without a message.
  void onClose();
  /// A click on "Hex-Datei", "Programmieren" or "Stop"; other ids nothing.
  void onCommand(int id);
  /// Loads the firmware file at `path` as "Hex-Datei" does once the user has chosen it.
  void onFileChosen(const std::string& path);
  /// The same for a file from outside the window; nothing while programming runs.
  void openFile(const std::string& path);
  /// A notification of the transfer, on the window's thread. After the window has
  /// closed nothing is acted on any more.
  void onNotification(const transfer::Notification& notification);
  /// The host's tick while programming runs: the status line's clock moves on.
  void onTick();

  /// Whether a transfer started by this window is running.
  bool transferRunning() const { return running_; }

 private:
  void chooseFile();
  void program();
  void stop();
  void endTransfer();
  void onTransferResult(uint32_t code);
  void setButtons(bool hexFile, bool program, bool stop);
  void showProgress();
  void setStatus(std::string_view utf8);
  void show(const transfer::Message& message);

  FlashImage& image_;
  std::string& path_;
  window::FileHistory* history_ = nullptr;
  transfer::Transfer& transfer_;
  PortChoice port_;
  window::ControlTable& controls_;
  window::WindowHost& host_;
  transfer::NotificationSink& sink_;
  FirmwareUpdate update_;
  bool running_ = false;
  bool closed_ = false;
  // While programming: since when the unit erases, how often the request went out, and
  // the blocks once they go through.
  window::WindowHost::Clock::time_point erasingSince_{};
  int requestsSent_ = 0;
  bool blocksStarted_ = false;
  uint32_t blocksDone_ = 0;
  transfer::ProgressEstimate estimate_;
};

}  // namespace trv810::firmware
