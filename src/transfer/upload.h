#pragma once
// Block upload: reads the configuration image from the unit.
//
// How it works. A 4-byte opening request (openCommand, unitAddress, formatIndex,
// requestParams[0]) asks for an image format. The unit accepts with 0xF0 and then
// sends the image as block frames openCommand, -, firmware version, block number
// (low byte first), blockLength data bytes; block 0xFFFF is the last. Each block in
// order is stored at image + expected * blockLength (the final block too, at the
// expected position) and acknowledged with 60 addr; a block out of order is answered
// with the resend request 63 addr lo hi naming the block expected. A refusal (0xF5)
// lowers the format index and starts over: formats 3, 2, 1, then INCOMPATIBLE.
//
//   state                  event        what happens
//   0 BuildRequest         (instant)    expected 0; ring reset; encode request -> 1
//   1 SendRequest          (instant)    5th send done? NO_ANSWER -> 10; else write (time-outs 0) -> 2
//   2 AwaitRequestReply    frame        F0: post ACCEPTED -> 3; F5: format - 1, at 0 INCOMPATIBLE -> 10,
//                                       else -> 0; other -> 1
//                          time-out     over 2 waits -> 1
//   3 ReceiveBlocks        frame        block frame (above); others ignored
//                          time-out     over 10 waits -> NO_ANSWER -> 10
//   10 Finished            -            the runner waits for stop
//
// The time-out counter is reset only when the request is sent, so the waits for the
// accept and every wait between blocks add up: the eleventh time-out after the last
// request ends the transfer. Acknowledges and resend requests are written once.
// The upload stores nothing beyond imageCapacity: such a block ends the transfer with
// RESULT_NO_ANSWER. So does the runner once the transfer's time limit (timeLimit(),
// see time_limit.h) has passed: onTimeLimit.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "transfer/actions.h"
#include "transfer/transfer_record.h"

namespace trv810::transfer {

class Upload {
 public:
  enum State : int {
    BuildRequest = 0,
    SendRequest = 1,
    AwaitRequestReply = 2,
    ReceiveBlocks = 3,
    Finished = kStateFinished,
  };

  static constexpr int kMaxSends = 5;
  static constexpr int kRequestWaits = 2;   ///< waits over this resend the request
  static constexpr int kBlockWaits = 10;    ///< waits over this end the transfer
  static constexpr int kMaxBlockLength = 120;  ///< a block frame fits a ReceiveRing slot

  /// Whether `record` describes an upload this machine can carry out: blockLength
  /// 1..120 and an image when there is room (imageCapacity 0 stores nothing).
  static bool accepts(const TransferRecord& record);

  /// How long the upload that `record` describes may take in all: as many blocks as
  /// imageCapacity holds with their acknowledges on the line, the request for each of
  /// the three formats with its waits, and the reserve of time_limit.h.
  static std::chrono::milliseconds timeLimit(const TransferRecord& record);

  /// The machine reads and writes `record` (formatIndex, firmwareVersion, the image)
  /// and lowers `formatIndex` on each refusal.
  Upload(TransferRecord& record, std::atomic<uint8_t>& formatIndex);

  /// Starts from state 0: ring reset and the opening request.
  Actions start();
  /// A frame arrived (its payload, without check bytes).
  Actions onFrame(std::span<const uint8_t> payload);
  Actions onFrame(std::initializer_list<uint8_t> payload) {
    return onFrame(std::span<const uint8_t>(payload.begin(), payload.size()));
  }
  /// A 500 ms wait passed and no frame became ready meanwhile.
  Actions onTimeout();
  /// The port failed (a write failed or timed out, or the device went away): ends
  /// the transfer with RESULT_NO_ANSWER unless a result is decided already.
  Actions onLinkFailed();
  /// The transfer's time limit has passed: ends it with RESULT_NO_ANSWER, as a unit
  /// that stopped answering, unless a result is decided already.
  Actions onTimeLimit() { return onLinkFailed(); }

  int state() const { return state_; }
  bool finished() const { return state() == Finished; }
  /// The number of the block expected next.
  uint32_t expectedBlock() const { return expected_; }

 private:
  void runInstantStates(Actions& out);
  void onRequestReply(std::span<const uint8_t> payload, Actions& out);
  void onBlock(std::span<const uint8_t> payload, Actions& out);
  void finish(uint32_t result, intptr_t lParam, Actions& out);
  void setState(State s) { state_ = s; }

  TransferRecord& record_;
  int state_ = BuildRequest;
  std::atomic<uint8_t>& formatIndex_;
  std::vector<uint8_t> request_;
  uint32_t expected_ = 0;
  int sends_ = 0;
  int timeouts_ = 0;
};

}  // namespace trv810::transfer
