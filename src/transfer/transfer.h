#pragma once
// The transfer runner: one per program. It owns the TransferRecord, the transfer
// state and the format index, and runs a Download or an Upload on the link's transfer
// thread. The runner is the only code that waits, reads the clock or touches the port.
//
// How it works. The thread feeds the state machine: start(), then in a loop it waits
// at most 500 ms for the stop event or frame-ready. On frame-ready it takes the frame
// from the ReceiveRing (onFrame); after a 500 ms wait it checks once, without waiting,
// whether a frame has become ready meanwhile (then onFrame) and otherwise counts a
// time-out (onTimeout). It carries out the actions the machine answers with: ring
// reset, encode and write a frame (or write the last one again), post a notification.
// Once the machine has finished it waits for the stop event. It ends without posting
// anything more as soon as it sees the stop event, in a wait or in a write, so it is
// always gone well inside the 1000 ms that closePort() gives it.
//
// Use (window or command): state() = 0; for a read formatIndex() = 3;
// link.openPort(device); fill record(); startDownload/startUpload(sink); on
// WM_TRANSFER_RESULT link.closePort(), then read record().firmwareVersion and
// formatIndex().

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>

#include "link/serial_link.h"
#include "transfer/transfer_record.h"

namespace trv810::transfer {

enum class TraceDirection { Sent, Received };
/// Called on the transfer thread with the payload of every frame written (a resend
/// too) and of every frame taken from the ReceiveRing. Must not block for long.
using TraceHook = std::function<void(TraceDirection, std::span<const uint8_t> payload)>;

class Transfer {
 public:
  explicit Transfer(link::SerialLink& link);
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  /// The one TransferRecord: zero at start, never cleared.
  TransferRecord& record() { return record_; }
  /// The transfer state: set to 0 by the caller before a start, then by the thread.
  std::atomic<int>& state() { return state_; }
  /// The format index: 3 before a read; after it, the format the unit delivered.
  std::atomic<uint8_t>& formatIndex() { return formatIndex_; }
  /// The link's transfer-active flag; closePort() clears it.
  std::atomic<bool>& active() { return link_.transferActive(); }

  /// Sets the active flag and starts a download of record() on the transfer thread,
  /// posting to `sink` (which must outlive the thread). False when the record is
  /// outside the download's limits or the thread cannot start: the flag is cleared
  /// and the port closed again.
  bool startDownload(NotificationSink& sink);
  /// The same for an upload into record().image.
  bool startUpload(NotificationSink& sink);
  /// Stops a running transfer without a result: closes the port.
  void stop() { link_.closePort(); }

  /// Sets (or with an empty hook removes) the frame trace; takes effect at the next start.
  void setTraceHook(TraceHook hook) { trace_ = std::move(hook); }

 private:
  bool startThread(bool recordOk, std::function<void()> body);

  link::SerialLink& link_;
  TransferRecord record_;
  std::atomic<int> state_{0};
  std::atomic<uint8_t> formatIndex_{0};
  TraceHook trace_;
};

}  // namespace trv810::transfer
