#pragma once
// The configuration window's logic: the form of the ConfigImage with its scrolling
// rows, the five commands ("TRV programmieren", "TRV auslesen", "Datei laden",
// "In Datei sichern", "Abbrechen"), the transfer's notifications, and the double
// click that opens the signal-sequence dialog. It sees its controls through a
// ControlTable and the toolkit through a WindowHost; the toolkit forwards input
// (input()) to the on...() handlers and the transfer's notifications to onNotification().
//
// How a transfer runs: the command starts its operation (config_operations.h), which
// opens the selected port and starts the thread posting to `sink`; the buttons 150 to
// 153 are disabled and "Abbrechen" enabled, with the focus, until WM_TRANSFER_RESULT
// arrives (or "Abbrechen", or closing); then the focus goes back to the button that
// started it. While it runs, the status line beside the progress bar says what the
// transfer does and for how long (the host ticks the window). The operation's report
// of the result says what to show. The menu entries that keep this window single are
// the main window's affair.
//
// Nothing throws the user's edits away unasked: closing the window, "TRV auslesen" and
// "Datei laden" ask first when the form differs from what was last read, loaded, saved
// or programmed, with "Nein" as the default answer.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/config_image.h"
#include "config/config_operations.h"
#include "config/form.h"
#include "window/control_input.h"
#include "window/controls.h"
#include "window/layout.h"
#include "window/file_history.h"
#include "window/window_host.h"
#include "transfer/operation.h"
#include "transfer/transfer.h"
#include "transfer/transfer_record.h"

namespace trv810::config {

using ScrollRequest = window::ScrollRequest;

/// The port the user chose, read at the moment a command opens the port.
using PortChoice = transfer::PortChoice;

class ConfigWindow {
 public:
  /// The window's layout, in creation order, for `cell` and the main window's client
  /// size (the window fills it, taken once at creation).
  static window::WindowSpec layout(window::CellSize cell, int clientWidth, int clientHeight);

  /// Keeps references to everything; all must outlive the window. `lastPath` is the
  /// configuration file chosen last, kept by the caller for the program's run, so the
  /// file dialogs start there again in a new window. `sink` receives the transfer's
  /// notifications (the toolkit hands them back to onNotification()).
  ConfigWindow(ConfigImage& image, StagingBuffer& staging, std::string& lastPath, transfer::Transfer& transfer,
               PortChoice port, window::ControlTable& controls, window::WindowHost& host,
               transfer::NotificationSink& sink);
  /// Stops a transfer that still runs, so no thread posts to `sink` any more.
  ~ConfigWindow();
  ConfigWindow(const ConfigWindow&) = delete;
  ConfigWindow& operator=(const ConfigWindow&) = delete;

  /// The layout the face built the controls from: the wheel over its table area (the
  /// group box of the rows, the first control) scrolls the rows.
  void useLayout(const window::WindowSpec& layout);
  /// What the file dialogs remember beyond the run (must outlive the window).
  void useFileHistory(window::FileHistory& history) { history_ = &history; }
  /// Where the face sends the user's input on the controls: clicks, the scroll bar,
  /// presses, double clicks, the wheel and pastes.
  window::ControlInput input();

  /// After the controls exist: "Abbrechen" disabled, image and form cleared, rows 1 to
  /// 8 with only the active toggles usable, "1200", the title, an empty progress bar
  /// and status line.
  void onCreate();
  /// The user asks to close the window: true when it may close. When the form differs
  /// from what was last read, loaded, saved or programmed, the user is asked first.
  bool onCloseRequest();
  /// The window closes: stops a running transfer (closing the port), without a message.
  void onClose();
  /// Loads the configuration file at `path` as "Datei laden" does once the user has
  /// chosen it (asking first when the form holds edits); nothing while a transfer runs.
  void openFile(const std::string& path);
  /// A click on control `id`: the toggles, the five commands; other ids nothing.
  void onCommand(int id);
  /// The scroll bar: line up and down, the thumb; other requests change nothing.
  void onScroll(ScrollRequest request, int thumbPosition = 0);
  /// The mouse wheel over the table: `lines` rows down (negative: up), as the scroll
  /// bar's line steps would.
  void onWheel(int lines);
  /// The wheel turned by `delta` over control `id` at `at`: over the table area it
  /// scrolls the rows, lists included, `linesPerNotch` rows a whole notch; the scroll
  /// bar takes the wheel itself, and elsewhere it is not the window's. True when taken.
  bool onWheelTurn(int id, window::Point at, int delta, int linesPerNotch);
  /// The left button pressed on control `id`; `onlyLeftButton` when no other button or
  /// modifier key is down. Form controls other than toggles take the focus.
  void onLeftButtonDown(int id, bool onlyLeftButton);
  /// A double click on control `id`: a sequence edit opens the signal-sequence dialog.
  void onDoubleClick(int id);
  /// A paste into `edit` would make `utf8` its whole text. True when the edit takes it;
  /// otherwise the status line says why and the edit must stay as it is.
  bool onPaste(const window::ControlSpec& edit, std::string_view utf8);
  /// A notification of the transfer, on the window's thread.
  void onNotification(const transfer::Notification& notification);
  /// The host's tick while a transfer runs: the status line's clock moves on.
  void onTick();

  Form& form() { return form_; }
  /// Whether a transfer started by this window is running.
  bool transferRunning() const { return running_; }
  /// The path chosen last in a file dialog of this window.
  const std::string& lastPath() const { return lastPath_; }
  /// Whether the form differs from what was last read, loaded, saved or programmed.
  bool unsavedChanges() { return form_.state() != saved_; }

 private:
  void programUnit();
  void readUnit();
  void cancelTransfer();
  void startTransfer(const transfer::Start& start, bool reading);
  void endTransfer();
  void onTransferResult(uint32_t code);
  void show(const transfer::Message& message);
  void setIdle();
  void editSequence(int id, std::string& buffer);
  bool validateForm();
  void showFormError(FormResult result);
  bool mayReplaceForm(std::string_view question);
  void onLoaded();

  // What the status line says while a transfer runs.
  enum class Phase { Waiting, Receiving, Erasing, Sending };
  void enterPhase(Phase phase);
  void showStatus();
  void setStatus(std::string_view utf8);

  ConfigImage& image_;
  transfer::Transfer& transfer_;
  PortChoice port_;
  window::ControlTable& controls_;
  window::WindowHost& host_;
  transfer::NotificationSink& sink_;
  Form form_;
  ConfigurationRead read_;
  ConfigurationWrite write_;  // sends a copy, so the toggles, which stay usable, change nothing it sends
  std::string& lastPath_;
  window::FileHistory* history_ = nullptr;
  // What the form showed when it was last read, loaded, saved or programmed (or
  // created); and what it showed when the download now running started.
  FormState saved_;
  FormState sending_;
  bool running_ = false;
  bool reading_ = false;  // which of the two runs
  int startedBy_ = -1;    // the button that started it, which gets the focus back
  Phase phase_ = Phase::Waiting;
  window::WindowHost::Clock::time_point phaseSince_{};
  int requestsSent_ = 0;  // sendings of the write request: more than one, the unit was silent
  window::Rect tableArea_;
  window::WheelNotches wheel_;
  std::string notice_;    // a line under the transfer's status (a refused paste), UTF-8
};

}  // namespace trv810::config
