#include "transfer/transfer.h"

#include <algorithm>
#include <array>
#include <chrono>

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
  // `timeLimitPassedMs` receives the limit when the transfer runs out of time.
  Runner(link::SerialLink& link, Machine& machine, NotificationSink& sink, TraceHook trace, Millis limit,
         std::atomic<int64_t>& timeLimitPassedMs)
      : link_(link),
        machine_(machine),
        sink_(sink),
        trace_(std::move(trace)),
        limit_(limit),
        deadline_(Clock::now() + limit),
        timeLimitPassedMs_(timeLimitPassedMs) {}

  void run() {
    if (!carryOut(machine_.start())) return;
    while (!finished_) {
      if (!step()) return;
    }
    while (!link_.events().stop.wait(kWait)) {
    }
  }

 private:
  using Clock = std::chrono::steady_clock;

  // One wait for stop or a frame; false when the thread is to end. The wait before the
  // deadline is shortened to end on it; such a wait is no time-out of the machine's.
  bool step() {
    const auto left = std::chrono::ceil<Millis>(deadline_ - Clock::now());
    if (left.count() <= 0) {
      timeLimitPassedMs_.store(limit_.count());
      return carryOut(machine_.onTimeLimit());
    }
    const Millis wait = std::min(kWait, left);
    link::LinkEvents& events = link_.events();
    switch (platform::waitForEither(events.stop, events.frameReady, wait)) {
      case WaitOutcome::First:
        return false;
      case WaitOutcome::Second:
        return carryOut(onFrameReady());
      case WaitOutcome::TimedOut:
        if (events.frameReady.tryConsume()) return carryOut(onFrameReady());
        return wait < kWait || carryOut(machine_.onTimeout());
    }
    return true;
  }

  // Frame-ready: a frame to take, or the device went away (the receiver's last signal).
  Actions onFrameReady() {
    if (link_.deviceLost()) return machine_.onLinkFailed();
    return takeFrame();
  }

  Actions takeFrame() {
    const link::ReceiveRing::Slot slot = link_.takeFrame();
    const std::span<const uint8_t> payload(slot.data() + 1,
                                           std::min<std::size_t>(slot[0], kMaxReceivedPayload));
    if (trace_) trace_(TraceDirection::Received, payload);
    return machine_.onFrame(payload);
  }

  // Carries out `actions` in order; false when the stop event ended a write. After a
  // failed write no further frame is written, but every notification is still posted:
  // a result the machine decided before the write failed is its result.
  bool carryOut(const Actions& actions) {
    bool writeFailed = false;
    for (const Action& a : actions) {
      switch (a.kind) {
        case Action::Kind::ResetRing:
          link_.dropReceived();
          break;
        case Action::Kind::Send:
          encode(a.payload);
          [[fallthrough]];
        case Action::Kind::Resend:
          if (writeFailed) break;
          switch (write()) {
            case link::SerialLink::WriteOutcome::Written:
              break;
            case link::SerialLink::WriteOutcome::Stopped:
              return false;
            case link::SerialLink::WriteOutcome::Failed:
              writeFailed = true;
              break;
          }
          break;
        case Action::Kind::Post:
          sink_.post(a.notification);
          break;
        case Action::Kind::Finish:
          finished_ = true;
          break;
      }
    }
    if (writeFailed && !finished_) return carryOut(machine_.onLinkFailed());
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
  const Millis limit_;
  const Clock::time_point deadline_;
  std::atomic<int64_t>& timeLimitPassedMs_;
  std::array<uint8_t, link::kMaxPayload + 2> payload_{};
  std::size_t payloadLength_ = 0;
  std::array<uint8_t, link::kMaxFrameBytes> transmit_{};
  std::size_t transmitLength_ = 0;
  bool finished_ = false;  // the machine posted its result: wait for stop
};

}  // namespace

Transfer::Transfer(link::SerialLink& link)
    : link_(link), timeLimit_([](Kind kind, const TransferRecord& record) {
        return kind == Kind::Download ? Download::timeLimit(record) : Upload::timeLimit(record);
      }) {}

StartStatus Transfer::start(Kind kind, const std::string& device, const std::function<void(TransferRecord&)>& fill,
                            NotificationSink& sink) {
  if (!link_.openPort(device)) return StartStatus::PortFailed;
  fill(record_);
  timeLimitPassedMs_.store(0);
  const Millis limit = timeLimit_(kind, record_);
  bool started = false;
  if (kind == Kind::Download) {
    started = startThread(Download::accepts(record_), [this, &sink, trace = trace_, limit] {
      Download machine(record_);
      Runner<Download>(link_, machine, sink, trace, limit, timeLimitPassedMs_).run();
    });
  } else {
    formatIndex_.store(record_.formatIndex);
    started = startThread(Upload::accepts(record_), [this, &sink, trace = trace_, limit] {
      Upload machine(record_, formatIndex_);
      Runner<Upload>(link_, machine, sink, trace, limit, timeLimitPassedMs_).run();
    });
  }
  return started ? StartStatus::Started : StartStatus::ThreadFailed;
}

std::optional<Millis> Transfer::lastTimeLimitPassed() const {
  const int64_t ms = timeLimitPassedMs_.load();
  if (ms == 0) return std::nullopt;
  return Millis(ms);
}

bool Transfer::startThread(bool recordOk, std::function<void()> body) {
  active().store(true);
  if (recordOk && link_.startTransferThread(std::move(body))) return true;
  active().store(false);
  link_.closePort();
  return false;
}

}  // namespace trv810::transfer
