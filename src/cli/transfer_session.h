#pragma once
// Running transfers from the command line: what read, write and flash share.
//
// A session owns the application object (link, transfer runner, FlashImage, the
// ConfigImage and staging buffer) and talks to the port resolvePort() chose. run()
// starts an operation (transfer/operation.h) as the windows do, then waits for the
// notifications until the result arrives; the command hands its code to the
// operation's end(), which closes the port and says what to print. The wait takes the
// notification sink's event together with stop requests (platform/console.h), so
// Ctrl-C stops the transfer at once, as "Abbrechen" does: the port is closed and no
// result is reported. Progress goes to standard error (see progress.h);
// --trace prints every frame sent and received with the time since the session began.
//
// Where the words, the progress and the stop requests go and come from is the
// session's console: the process's own for one unit; when several units run at once
// (many_units.h), each session has a console of its own that keeps its unit's words
// for the summary and takes the stop of all of them.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/application.h"
#include "cli/command.h"
#include "cli/progress.h"
#include "platform/console.h"
#include "transfer/operation.h"
#include "transfer/transfer_record.h"

namespace trv810::cli {

/// The port a command talks to: "COM1".."COM12" from the port table, or a device path
/// (then its name in messages too).
using PortTarget = transfer::PortTarget;

/// Resolves `port` as --port gives it; nullopt (with `error`) for anything else.
std::optional<PortTarget> resolvePort(const std::string& port, std::string& error);

/// Where a session's words and progress go and where its stop requests come from.
class SessionConsole {
 public:
  virtual ~SessionConsole() = default;
  /// A line saying what went well (standard output, not with --quiet).
  virtual void inform(const std::string& text) = 0;
  /// A failure: the system's message and a line under it (empty for none).
  virtual void fail(const std::string& text, const std::string& detail) = 0;
  /// A line of the command's own output (a difference of diff), --quiet or not.
  virtual void output(const std::string& line) = 0;
  /// A traced frame's line.
  virtual void trace(const std::string& line) = 0;
  /// The display of a transfer's progress over `totalBlocks` blocks.
  virtual std::unique_ptr<ProgressDisplay> progress(uint32_t totalBlocks) = 0;
  /// Called before each transfer starts its threads.
  virtual void beforeTransfer() {}
  /// Waits until `ready` is set (First, consumed) or a stop is requested (Second), at
  /// most `timeout`.
  virtual platform::WaitOutcome wait(platform::Event& ready, platform::Millis timeout) = 0;
};

/// How a transfer ended.
struct RunOutcome {
  enum class Kind {
    Result,       ///< WM_TRANSFER_RESULT arrived; `code` holds it
    Interrupted,  ///< SIGINT, SIGTERM or SIGHUP stopped it; nothing was reported
    Failed,       ///< the port could not be opened or the thread not started (reported)
  };
  Kind kind = Kind::Failed;
  uint32_t code = 0;
};

/// What a command shows while its transfer runs.
struct ProgressPlan {
  uint32_t totalBlocks = 0;
  /// Shown on WM_TRANSFER_STARTED (the unit erases); empty for none.
  std::string startedText;
  /// Called with the blocks done on each progress notification (for a status text).
  std::function<void(uint32_t done)> onProgress;
};

class TransferSession {
 public:
  /// Sets up the application object for `target` on the process's console. From the
  /// first run() on, Ctrl-C and requests to end are taken as a stop while a transfer
  /// waits, and wait after it (a file being saved is finished first).
  TransferSession(const GlobalOptions& options, PortTarget target);
  /// The same on `console`, which must outlive the session.
  TransferSession(const GlobalOptions& options, PortTarget target, SessionConsole& console);
  ~TransferSession();
  TransferSession(const TransferSession&) = delete;
  TransferSession& operator=(const TransferSession&) = delete;

  app::Application& app() { return app_; }
  transfer::Transfer& transfer() { return app_.transfer(); }
  const PortTarget& target() const { return target_; }

  /// Runs one transfer: `start` starts an operation posting to the sink it is given.
  /// A start that fails is reported here with the operation's message; the command
  /// turns the result into its report with the operation's end().
  RunOutcome run(const std::function<transfer::Start(transfer::NotificationSink&)>& start, const ProgressPlan& plan);

  /// Whether the user asked for no progress output.
  bool quiet() const { return options_.quiet; }
  /// Tells an operation's message: information as inform(), anything else as fail().
  void tell(const transfer::Message& message) const;
  /// A line saying what went well (standard output, not with --quiet).
  void inform(const std::string& text) const { console_.inform(text); }
  /// A failure with an optional line under it; returns kExitFailed.
  int fail(const std::string& text, const std::string& detail = {}) const;
  /// A line of the command's own output, --quiet or not.
  void output(const std::string& line) const { console_.output(line); }

 private:
  class Sink;
  TransferSession(const GlobalOptions& options, PortTarget target, std::unique_ptr<SessionConsole> own,
                  SessionConsole* given);
  RunOutcome wait(ProgressDisplay& progress, const ProgressPlan& plan);
  void trace(bool sent, const uint8_t* payload, std::size_t length);

  GlobalOptions options_;
  PortTarget target_;
  std::unique_ptr<SessionConsole> ownConsole_;  // the process's, unless one was given
  SessionConsole& console_;
  std::chrono::steady_clock::time_point began_ = std::chrono::steady_clock::now();
  std::unique_ptr<Sink> sink_;
  app::Application app_;
};

}  // namespace trv810::cli
