#pragma once
// The transfer runner: one per program. It owns the TransferRecord and the format
// index, opens the port and runs a Download or an Upload on the link's transfer
// thread. The runner is the only code that waits, reads the clock or touches the port.
//
// How it works. The thread feeds the state machine: start(), then in a loop it waits
// at most 500 ms for the stop event or frame-ready. On frame-ready it takes the frame
// from the ReceiveRing (onFrame), or, when the link lost its device, tells the machine
// so (onLinkFailed); after a 500 ms wait it checks once, without waiting, whether a
// frame has become ready meanwhile (then onFrame) and otherwise counts a time-out
// (onTimeout). It carries out the actions the machine answers with, in order: drop
// what was received (at every opening request), encode and write a frame (or write
// the last one again), post a notification, finish. A write that fails does not cut
// the list short: the notifications the machine decided with it, a result among them,
// are still posted, and only when no result was decided does the failure end the
// transfer (onLinkFailed). After Finish the thread waits for the stop event. It ends
// without posting anything more as soon as it sees the stop event, in a wait or in a
// write, so it is always gone well inside the 1000 ms that closePort() gives it.
//
// Each transfer also has a time limit, which the machine derives from the record
// (time_limit.h). The runner shortens its last wait to end on it and then feeds the
// machine onTimeLimit, which ends the transfer like a unit that stopped answering; a
// unit that keeps talking without getting anywhere cannot hold the program for ever.
//
// Callers go through the operations (transfer/operation.h), which fill the record
// with the request builders of transfer/requests.h and start() the transfer.

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "link/serial_link.h"
#include "transfer/transfer_record.h"

namespace trv810::transfer {

enum class TraceDirection { Sent, Received };
/// Called on the transfer thread with the payload of every frame written (a resend
/// too) and of every frame taken from the ReceiveRing. Must not block for long.
using TraceHook = std::function<void(TraceDirection, std::span<const uint8_t> payload)>;

/// How a start went.
enum class StartStatus {
  Started,       ///< the port is open and the transfer thread runs
  PortFailed,    ///< the port could not be opened: lastOpenFailure() tells why
  ThreadFailed,  ///< the record is outside the transfer's limits or no thread could start
};

class Transfer {
 public:
  enum class Kind { Download, Upload };

  explicit Transfer(link::SerialLink& link);
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  /// The one TransferRecord: zero at start, never cleared.
  TransferRecord& record() { return record_; }
  /// The format index: the record's at the start of an upload, lowered by each
  /// refusal; after a read, the format the unit delivered.
  std::atomic<uint8_t>& formatIndex() { return formatIndex_; }
  /// The link's transfer-active flag; closePort() clears it.
  std::atomic<bool>& active() { return link_.transferActive(); }

  /// Opens `device`, lets `fill` set the record's fields for this transfer, sets the
  /// active flag and starts a `kind` transfer posting to `sink` (which must outlive
  /// the thread). On any failure nothing is left open and the flag is clear.
  StartStatus start(Kind kind, const std::string& device, const std::function<void(TransferRecord&)>& fill,
                    NotificationSink& sink);
  /// Stops a running transfer without a result, or ends one that posted its result:
  /// closes the port. Once it returns, the thread has ended.
  void stop() { link_.closePort(); }

  /// Why the last start could not open the port.
  const link::OpenFailure& lastOpenFailure() const { return link_.lastOpenFailure(); }
  /// Whether the device went away during the last transfer; read after stop().
  std::optional<link::DeviceLoss> lastDeviceLoss() const { return link_.lastDeviceLoss(); }

  /// The limit that ended the last transfer when it ran out of time; read after stop().
  std::optional<platform::Millis> lastTimeLimitPassed() const;

  /// Sets (or with an empty hook removes) the frame trace; takes effect at the next start.
  void setTraceHook(TraceHook hook) { trace_ = std::move(hook); }

  /// The time limit of a transfer of a kind for its record; the machines' own by default.
  using TimeLimit = std::function<platform::Millis(Kind, const TransferRecord&)>;
  /// Replaces the time limits (tests shorten them); takes effect at the next start.
  void setTimeLimit(TimeLimit limit) { timeLimit_ = std::move(limit); }

 private:
  bool startThread(bool recordOk, std::function<void()> body);

  link::SerialLink& link_;
  TransferRecord record_;
  std::atomic<uint8_t> formatIndex_{0};
  TraceHook trace_;
  TimeLimit timeLimit_;
  std::atomic<int64_t> timeLimitPassedMs_{0};  // 0: the last transfer did not run out of time
};

}  // namespace trv810::transfer
