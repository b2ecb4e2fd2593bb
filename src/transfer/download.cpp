#include "transfer/download.h"

#include "transfer/time_limit.h"

namespace trv810::transfer {
namespace {

constexpr uint8_t kAcknowledge = 0xF0;
constexpr uint8_t kReady = 0x50;
constexpr uint8_t kIncompatible = 0x51;
constexpr uint8_t kBlockAccepted = 0x60;
constexpr uint8_t kBlockAcceptedToo = 0x61;
constexpr uint8_t kSendAgainFrom = 0x63;

}  // namespace

bool Download::accepts(const TransferRecord& r) {
  if (r.blockLength < 1 || r.blockLength > kMaxBlockLength) return false;
  if (r.imageLength > 0 && r.image == nullptr) return false;
  return uint64_t{r.imageLength} <= uint64_t{0x10000} * r.blockLength;
}

std::chrono::milliseconds Download::timeLimit(const TransferRecord& r) {
  const uint64_t length = r.blockLength == 0 ? 1 : r.blockLength;
  const uint64_t blocks = r.imageLength / length + 1;  // and the final one
  const uint64_t exchange = 2 * frameLineBytes(kReplyPayload);  // acknowledge and answer
  const uint64_t bytes = frameLineBytes(2 + r.requestParams.size()) + exchange +
                         blocks * (frameLineBytes(4 + length) + exchange);
  constexpr std::chrono::milliseconds kWait{500};
  return transfer::timeLimit(bytes, (kRequestWaits + 1 + kEraseWaits + 1) * kWait);
}

Download::Download(const TransferRecord& record) : record_(record) {}

Actions Download::start() {
  Actions out;
  setState(BuildRequest);
  runInstantStates(out);
  return out;
}

Actions Download::onFrame(std::span<const uint8_t> payload) {
  Actions out;
  if (state() == AwaitRequestReply) {
    onRequestReply(byteAt(payload, 0), out);
  } else if (state() == AwaitBlockReply) {
    onBlockReply(payload, out);
  }
  runInstantStates(out);
  return out;
}

Actions Download::onTimeout() {
  Actions out;
  if (state() == AwaitRequestReply) {
    if (++timeouts_ > (acknowledged_ ? kEraseWaits : kRequestWaits)) setState(SendRequest);
  } else if (state() == AwaitBlockReply) {
    if (++timeouts_ > kBlockWaits) setState(SendBlock);
  }
  runInstantStates(out);
  return out;
}

Actions Download::onLinkFailed() {
  Actions out;
  if (!finished()) finish(RESULT_NO_ANSWER, out);
  return out;
}

// Runs the states that do not wait (0, 1, 3, 4) until the machine waits again.
void Download::runInstantStates(Actions& out) {
  for (;;) {
    switch (state()) {
      case BuildRequest:
        block_ = 0;
        sends_ = 0;
        frame_.assign({record_.openCommand, record_.unitAddress});
        frame_.insert(frame_.end(), record_.requestParams.begin(), record_.requestParams.end());
        out.push_back(Action::resetRing());
        out.push_back(Action::post(WM_TRANSFER_STARTED, 0, 0));
        setState(SendRequest);
        break;
      case SendRequest:
        if (sends_ == kMaxSends) return finish(RESULT_NO_ANSWER, out);
        send(out, AwaitRequestReply);
        out.push_back(Action::post(WM_TRANSFER_STARTED, 1, record_.unitAddress));
        break;
      case BuildBlock:
        acknowledged_ = false;
        sends_ = 0;
        buildBlock();
        setState(SendBlock);
        break;
      case SendBlock:
        if (sends_ == kMaxSends) return finish(RESULT_NO_ANSWER, out);
        send(out, AwaitBlockReply);
        break;
      default:
        return;
    }
  }
}

// Writes the frame built last: encoded afresh the first time, written again unchanged
// on every resend.
void Download::send(Actions& out, State next) {
  out.push_back(sends_ == 0 ? Action::send(frame_) : Action::resend());
  ++sends_;
  timeouts_ = 0;
  acknowledged_ = false;
  setState(next);
}

// Cuts block `block_` out of the image. A block the image does not fill is padded
// with 0xFF and becomes the final block, numbered 0xFFFF.
void Download::buildBlock() {
  const uint32_t length = record_.blockLength;
  const uint32_t start = uint32_t{block_} * length;
  frame_.assign(4 + length, 0xFF);
  uint32_t i = 0;
  for (; i < length && start + i < record_.imageLength; ++i) frame_[4 + i] = record_.image[start + i];
  if (i < length) block_ = kFinalBlock;
  frame_[0] = record_.blockCommand;
  frame_[1] = record_.unitAddress;
  frame_[2] = static_cast<uint8_t>(block_ & 0xFF);
  frame_[3] = static_cast<uint8_t>(block_ >> 8);
}

void Download::onRequestReply(uint8_t code, Actions& out) {
  if (!acknowledged_) {
    if (code == kAcknowledge) {
      acknowledged_ = true;
      timeouts_ = 0;
    } else {
      setState(SendRequest);
    }
  } else if (code == kReady) {
    setState(BuildBlock);
  } else {
    finish(code == kIncompatible ? RESULT_INCOMPATIBLE : RESULT_ERASE_FAILED, out);
  }
}

void Download::onBlockReply(std::span<const uint8_t> payload, Actions& out) {
  const uint8_t code = byteAt(payload, 0);
  if (!acknowledged_) {
    if (code == kAcknowledge) {
      acknowledged_ = true;
      timeouts_ = 0;
    } else {
      setState(SendBlock);
    }
  } else if (code == kSendAgainFrom) {
    block_ = static_cast<uint16_t>(byteAt(payload, 2) | byteAt(payload, 3) << 8);
    setState(BuildBlock);
  } else if (code == kBlockAccepted || code == kBlockAcceptedToo) {
    if (block_ == kFinalBlock) return finish(RESULT_PROGRAMMED, out);
    ++block_;
    out.push_back(Action::post(WM_TRANSFER_PROGRESS, block_, record_.unitAddress));
    setState(BuildBlock);
  } else {
    finish(RESULT_BLOCK_FAILED, out);
  }
}

void Download::finish(uint32_t result, Actions& out) {
  out.push_back(Action::post(WM_TRANSFER_RESULT, result, 0));
  out.push_back(Action::finish());
  setState(Finished);
}

}  // namespace trv810::transfer
