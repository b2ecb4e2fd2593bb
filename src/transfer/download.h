#pragma once
// Block download: sends an image to the unit (configuration or firmware).
//
// How it works. An opening request (openCommand, unitAddress, the ten requestParams)
// tells the unit what is coming; then the image goes out cut into blocks of
// blockLength bytes, each in a frame blockCommand, unitAddress, block number (low
// byte first), data. Every frame gets two replies: the acknowledge 0xF0, then an
// answer. The last block is numbered 0xFFFF and is filled with 0xFF behind the end of
// the image (a block of only 0xFF when the length is a multiple of blockLength).
//
//   state                  event        what happens
//   0 BuildRequest         (instant)    block 0; ring reset; post STARTED(0,0); -> 1
//   1 SendRequest          (instant)    5th send done? NO_ANSWER -> 10; else write, post STARTED(1,addr) -> 2
//   2 AwaitRequestReply    frame        no ack yet: F0 = ack (time-outs 0), other -> 1
//                                       acked: 50 -> 3, 51 INCOMPATIBLE -> 10, other ERASE_FAILED -> 10
//                          time-out     over 2 waits before the ack, 20 after it -> 1
//   3 BuildBlock           (instant)    cut block, encode -> 4
//   4 SendBlock            (instant)    5th send done? NO_ANSWER -> 10; else write -> 5
//   5 AwaitBlockReply      frame        no ack yet: F0 = ack (time-outs 0), other -> 4
//                                       acked: 63 lo hi: block = n -> 3; 60/61 on 0xFFFF: PROGRAMMED -> 10;
//                                       60/61: block + 1, post PROGRESS(block, addr) -> 3; other BLOCK_FAILED -> 10
//                          time-out     over 2 waits -> 4
//   10 Finished            -            the runner waits for stop
//
// A time-out is a 500 ms wait in which no frame became ready; the runner feeds it.
// Every frame is sent at most five times. A 0x63 answer moves the transfer to block n
// with a fresh send counter, and the final-block marker is recomputed from n. The
// runner also ends the whole transfer once its time limit (timeLimit(), see
// time_limit.h) has passed: onTimeLimit, RESULT_NO_ANSWER.

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "transfer/actions.h"
#include "transfer/transfer_record.h"

namespace trv810::transfer {

class Download {
 public:
  enum State : int {
    BuildRequest = 0,
    SendRequest = 1,
    AwaitRequestReply = 2,
    BuildBlock = 3,
    SendBlock = 4,
    AwaitBlockReply = 5,
    Finished = kStateFinished,
  };

  static constexpr int kMaxSends = 5;
  static constexpr int kRequestWaits = 2;       ///< waits over this resend the request
  static constexpr int kEraseWaits = 20;        ///< same, once the request was acknowledged
  static constexpr int kBlockWaits = 2;
  static constexpr int kMaxBlockLength = 122;   ///< payload and check bytes fit 128 bytes

  /// Whether `record` describes a download this machine can carry out: blockLength
  /// 1..122, an image when there are bytes to send, and no more bytes than 0x10000
  /// blocks hold (block 0xFFFF must be the last).
  static bool accepts(const TransferRecord& record);

  /// How long the download that `record` describes may take in all: its blocks and
  /// opening request with their replies on the line, the erase (the longest the
  /// request waits for its answer) and the reserve of time_limit.h.
  static std::chrono::milliseconds timeLimit(const TransferRecord& record);

  /// The machine reads `record`, which must outlive it.
  explicit Download(const TransferRecord& record);

  /// Starts from state 0: ring reset, opening request, STARTED notifications.
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
  /// The block number as it stands (0xFFFF for the final block).
  uint16_t blockNumber() const { return block_; }

 private:
  void runInstantStates(Actions& out);
  void send(Actions& out, State next);
  void buildBlock();
  void onRequestReply(uint8_t code, Actions& out);
  void onBlockReply(std::span<const uint8_t> payload, Actions& out);
  void finish(uint32_t result, Actions& out);
  void setState(State s) { state_ = s; }

  const TransferRecord& record_;
  int state_ = BuildRequest;
  std::vector<uint8_t> frame_;  // the frame built last, sent again on a resend
  uint16_t block_ = 0;
  int sends_ = 0;
  int timeouts_ = 0;
  bool acknowledged_ = false;
};

}  // namespace trv810::transfer
