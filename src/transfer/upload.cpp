#include "transfer/upload.h"

#include "transfer/time_limit.h"

namespace trv810::transfer {
namespace {

constexpr uint8_t kAccept = 0xF0;
constexpr uint8_t kRefused = 0xF5;
constexpr uint8_t kBlockAcknowledge = 0x60;
constexpr uint8_t kSendAgainFrom = 0x63;
constexpr std::size_t kBlockHeader = 5;  // command, -, firmware version, block lo, hi

}  // namespace

bool Upload::accepts(const TransferRecord& r) {
  if (r.blockLength < 1 || r.blockLength > kMaxBlockLength) return false;
  return r.image != nullptr || r.imageCapacity == 0;
}

std::chrono::milliseconds Upload::timeLimit(const TransferRecord& r) {
  constexpr uint64_t kFormats = 3;
  constexpr uint64_t kAcceptPayload = 15;
  const uint64_t length = r.blockLength == 0 ? 1 : r.blockLength;
  const uint64_t blocks = r.imageCapacity / length + 1;
  const uint64_t bytes = kFormats * (frameLineBytes(4) + frameLineBytes(kAcceptPayload)) +
                         blocks * (frameLineBytes(kBlockHeader + length) + frameLineBytes(kReplyPayload));
  constexpr std::chrono::milliseconds kWait{500};
  return transfer::timeLimit(bytes, kFormats * (kRequestWaits + 1) * kWait);
}

Upload::Upload(TransferRecord& record, std::atomic<uint8_t>& formatIndex)
    : record_(record), formatIndex_(formatIndex) {}

Actions Upload::start() {
  Actions out;
  setState(BuildRequest);
  runInstantStates(out);
  return out;
}

Actions Upload::onFrame(std::span<const uint8_t> payload) {
  Actions out;
  if (state() == AwaitRequestReply) {
    onRequestReply(payload, out);
  } else if (state() == ReceiveBlocks) {
    onBlock(payload, out);
  }
  runInstantStates(out);
  return out;
}

Actions Upload::onTimeout() {
  Actions out;
  if (state() == AwaitRequestReply) {
    if (++timeouts_ > kRequestWaits) setState(SendRequest);
  } else if (state() == ReceiveBlocks) {
    if (++timeouts_ > kBlockWaits) finish(RESULT_NO_ANSWER, 0, out);
  }
  runInstantStates(out);
  return out;
}

Actions Upload::onLinkFailed() {
  Actions out;
  if (!finished()) finish(RESULT_NO_ANSWER, 0, out);
  return out;
}

// Runs the states that do not wait (0, 1) until the machine waits again.
void Upload::runInstantStates(Actions& out) {
  for (;;) {
    switch (state()) {
      case BuildRequest:
        request_ = {record_.openCommand, record_.unitAddress, record_.formatIndex,
                    record_.requestParams[0]};
        expected_ = 0;
        sends_ = 0;
        out.push_back(Action::resetRing());
        setState(SendRequest);
        break;
      case SendRequest:
        if (sends_ == kMaxSends) return finish(RESULT_NO_ANSWER, 0, out);
        out.push_back(sends_ == 0 ? Action::send(request_) : Action::resend());
        ++sends_;
        timeouts_ = 0;
        setState(AwaitRequestReply);
        break;
      default:
        return;
    }
  }
}

void Upload::onRequestReply(std::span<const uint8_t> payload, Actions& out) {
  const uint8_t code = byteAt(payload, 0);
  if (code == kAccept) {
    Notification accepted;
    accepted.message = WM_TRANSFER_ACCEPTED;
    for (std::size_t i = 0; i < accepted.accepted.size(); ++i) accepted.accepted[i] = byteAt(payload, 2 + i);
    setState(ReceiveBlocks);
    out.push_back(Action::post(accepted));
  } else if (code == kRefused) {
    const uint8_t format = static_cast<uint8_t>(formatIndex_.load() - 1);
    formatIndex_.store(format);
    if (format == 0) return finish(RESULT_INCOMPATIBLE, byteAt(payload, 2), out);
    record_.formatIndex = format;
    setState(BuildRequest);
  } else {
    setState(SendRequest);
  }
}

// Stores the block expected next (or the final block, at the expected position) and
// acknowledges it; asks for the expected block again when another one arrives.
void Upload::onBlock(std::span<const uint8_t> payload, Actions& out) {
  if (byteAt(payload, 0) != record_.openCommand) return;
  record_.firmwareVersion = byteAt(payload, 2);
  const uint16_t n = static_cast<uint16_t>(byteAt(payload, 3) | byteAt(payload, 4) << 8);
  const uint8_t addr = record_.unitAddress;
  if (n != expected_ && n != kFinalBlock) {
    out.push_back(Action::send({kSendAgainFrom, addr, static_cast<uint8_t>(expected_ & 0xFF),
                                static_cast<uint8_t>((expected_ >> 8) & 0xFF)}));
    return;
  }
  const std::size_t length = record_.blockLength;
  const std::size_t offset = std::size_t{expected_} * length;
  if (offset + length > record_.imageCapacity) return finish(RESULT_NO_ANSWER, 0, out);
  for (std::size_t i = 0; i < length; ++i) record_.image[offset + i] = byteAt(payload, kBlockHeader + i);
  out.push_back(Action::send({kBlockAcknowledge, addr}));
  out.push_back(Action::post(WM_TRANSFER_PROGRESS, expected_, 0));
  if (n == kFinalBlock) return finish(RESULT_READ_DONE, 0, out);
  ++expected_;
}

void Upload::finish(uint32_t result, intptr_t lParam, Actions& out) {
  out.push_back(Action::post(WM_TRANSFER_RESULT, result, lParam));
  out.push_back(Action::finish());
  setState(Finished);
}

}  // namespace trv810::transfer
