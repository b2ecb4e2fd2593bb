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
  /// Sets up the application object for `target`. From the first run() on, Ctrl-C
  /// and requests to end are taken as a stop while a transfer waits, and wait after
  /// it (a file being saved is finished first).
  TransferSession(const GlobalOptions& options, PortTarget target);
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
  /// Prints an operation's message: information on standard output (not with
  /// --quiet), anything else with its detail line on standard error.
  void tell(const transfer::Message& message) const;

 private:
  class Sink;
  RunOutcome wait(Progress& progress, const ProgressPlan& plan);
  void trace(bool sent, const uint8_t* payload, std::size_t length);

  GlobalOptions options_;
  PortTarget target_;
  std::optional<platform::StopRequests> stopRequests_;
  std::chrono::steady_clock::time_point began_ = std::chrono::steady_clock::now();
  std::unique_ptr<Sink> sink_;
  app::Application app_;
};

}  // namespace trv810::cli
