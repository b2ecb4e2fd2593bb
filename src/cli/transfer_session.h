#pragma once
// Running transfers from the command line: what read, write and flash share.
//
// A session owns the application object (link, transfer runner, FlashImage, the
// ConfigImage and staging buffer) and talks to the port resolvePort() chose. run() takes the road every command of the windows takes: transfer
// state 0, open the port, fill the TransferRecord, start the thread, then wait for the
// notifications until the result arrives, which closes the port. The wait is one
// poll() over a descriptor that the notification sink sets and a signalfd for SIGINT
// and SIGTERM, so Ctrl-C stops the transfer at once, as "Abbrechen" does: the port is
// closed and no result is reported. Progress goes to standard error (see progress.h);
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
#include "transfer/transfer_record.h"

namespace trv810::cli {

/// The port a command talks to: "COM1".."COM12" from the port table, or a device path.
struct PortTarget {
  std::string name;    ///< what messages show: "COM3", or the path itself
  std::string device;  ///< what is opened
};

/// Resolves `port` as --port gives it; nullopt (with `error`) for anything else.
std::optional<PortTarget> resolvePort(const std::string& port, std::string& error);

/// How a transfer ended.
struct RunOutcome {
  enum class Kind {
    Result,       ///< WM_TRANSFER_RESULT arrived; `code` holds it
    Interrupted,  ///< SIGINT or SIGTERM stopped it; nothing was reported
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
  enum class Direction { Download, Upload };

  /// Sets up the application object for `target`. The first run() blocks SIGINT and
  /// SIGTERM for good: they are read from a signalfd while a transfer waits, and wait
  /// after it (a file being saved is finished first).
  TransferSession(const GlobalOptions& options, PortTarget target);
  ~TransferSession();
  TransferSession(const TransferSession&) = delete;
  TransferSession& operator=(const TransferSession&) = delete;

  app::Application& app() { return app_; }
  transfer::TransferRecord& record() { return app_.transfer().record(); }
  const PortTarget& target() const { return target_; }

  /// Runs one transfer: `fill` fills the TransferRecord after the port is open. Port
  /// and thread failures are reported here with the windows' texts; the command
  /// reports the result itself.
  RunOutcome run(Direction direction, const std::function<void(transfer::TransferRecord&)>& fill,
                 const ProgressPlan& plan);

  /// Whether the user asked for no progress output.
  bool quiet() const { return options_.quiet; }

 private:
  class Sink;
  RunOutcome wait(Progress& progress, const ProgressPlan& plan);
  void trace(bool sent, const uint8_t* payload, std::size_t length);

  GlobalOptions options_;
  PortTarget target_;
  int signalFd_ = -1;
  std::chrono::steady_clock::time_point began_ = std::chrono::steady_clock::now();
  std::unique_ptr<Sink> sink_;
  app::Application app_;
};

}  // namespace trv810::cli
