#include "transfer/transfer.h"

#include <algorithm>
#include <array>

#include "link/frame_codec.h"
#include "transfer/download.h"
#include "transfer/upload.h"

namespace trv810::transfer {
namespace {

using platform::Millis;
using platform::WaitOutcome;

constexpr Millis kWait{500};
// The longest payload a ReceiveRing slot can carry (127 content bytes less the check bytes).
constexpr std::size_t kMaxReceivedPayload = link::kMaxContent - 2;

// Runs one state machine on the transfer thread against the link.
template <typename Machine>
class Runner {
 public:
  Runner(link::SerialLink& link, Machine& machine, NotificationSink& sink, TraceHook trace)
      : link_(link), machine_(machine), sink_(sink), trace_(std::move(trace)) {}

  void run() {
    if (!carryOut(machine_.start())) return;
    while (!machine_.finished()) {
      if (!step()) return;
    }
    while (!link_.events().stop.wait(kWait)) {
    }
  }

 private:
  // One wait for stop or a frame; false when the thread is to end.
  bool step() {
    link::LinkEvents& events = link_.events();
    switch (platform::waitForEither(events.stop, events.frameReady, kWait)) {
      case WaitOutcome::First:
        return false;
      case WaitOutcome::Second:
        return carryOut(takeFrame());
      case WaitOutcome::TimedOut:
        if (events.frameReady.tryConsume()) return carryOut(takeFrame());
        return carryOut(machine_.onTimeout());
    }
    return true;
  }

  Actions takeFrame() {
    const link::ReceiveRing::Slot slot = link_.takeFrame();
    const std::span<const uint8_t> payload(slot.data() + 1,
                                           std::min<std::size_t>(slot[0], kMaxReceivedPayload));
    if (trace_) trace_(TraceDirection::Received, payload);
    return machine_.onFrame(payload);
  }

  // Carries out `actions` in order; false when the stop event ended a write.
  bool carryOut(const Actions& actions) {
    for (const Action& a : actions) {
      switch (a.kind) {
        case Action::Kind::ResetRing:
          link_.ring().resetIndices();
          break;
        case Action::Kind::Send:
          encode(a.payload);
          [[fallthrough]];
        case Action::Kind::Resend:
          switch (write()) {
            case link::SerialLink::WriteOutcome::Written:
              break;
            case link::SerialLink::WriteOutcome::Stopped:
              return false;
            case link::SerialLink::WriteOutcome::Failed:
              for (const Action& f : machine_.onWriteFailed()) {
                if (f.kind == Action::Kind::Post) sink_.post(f.notification);
              }
              return true;
          }
          break;
        case Action::Kind::Post:
          sink_.post(a.notification);
          break;
        case Action::Kind::Finish:
          break;
      }
    }
    return true;
  }

  // Encodes `payload` into the transmit buffer, where it stays for a resend.
  void encode(const std::vector<uint8_t>& payload) {
    payloadLength_ = std::min(payload.size(), link::kMaxPayload);
    std::copy_n(payload.begin(), payloadLength_, payload_.begin());
    transmitLength_ = static_cast<std::size_t>(link::encodeFrame(
        payload_.data(), static_cast<uint8_t>(payloadLength_), transmit_.data()));
  }

  link::SerialLink::WriteOutcome write() {
    if (trace_) trace_(TraceDirection::Sent, {payload_.data(), payloadLength_});
    return link_.write(transmit_.data(), transmitLength_);
  }

  link::SerialLink& link_;
  Machine& machine_;
  NotificationSink& sink_;
  const TraceHook trace_;
  std::array<uint8_t, link::kMaxPayload + 2> payload_{};
  std::size_t payloadLength_ = 0;
  std::array<uint8_t, link::kMaxFrameBytes> transmit_{};
  std::size_t transmitLength_ = 0;
};

}  // namespace

Transfer::Transfer(link::SerialLink& link) : link_(link) {}

bool Transfer::startDownload(NotificationSink& sink) {
  return startThread(Download::accepts(record_), [this, &sink, trace = trace_] {
    Download machine(record_, state_);
    Runner<Download>(link_, machine, sink, trace).run();
  });
}

bool Transfer::startUpload(NotificationSink& sink) {
  return startThread(Upload::accepts(record_), [this, &sink, trace = trace_] {
    Upload machine(record_, state_, formatIndex_);
    Runner<Upload>(link_, machine, sink, trace).run();
  });
}

bool Transfer::startThread(bool recordOk, std::function<void()> body) {
  active().store(true);
  if (recordOk && link_.startTransferThread(std::move(body))) return true;
  active().store(false);
  link_.closePort();
  return false;
}

}  // namespace trv810::transfer
