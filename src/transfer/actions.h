#pragma once
// What a transfer state machine asks its runner to do. The machines never wait, read
// a clock or touch the port; each event they are fed returns the actions to carry
// out, in order.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "transfer/transfer_record.h"

namespace trv810::transfer {

struct Action {
  enum class Kind : uint8_t {
    ResetRing,  ///< set both ReceiveRing indices to 0 (at every opening request)
    Send,       ///< encode `payload` and write the frame
    Resend,     ///< write the frame encoded last again, unchanged
    Post,       ///< post `notification`
    Finish,     ///< the transfer has posted its result: wait for stop
  };

  Kind kind = Kind::Post;
  std::vector<uint8_t> payload;
  Notification notification;

  static Action resetRing() { return {Kind::ResetRing, {}, {}}; }
  static Action send(std::span<const uint8_t> bytes) {
    return {Kind::Send, {bytes.begin(), bytes.end()}, {}};
  }
  static Action send(std::initializer_list<uint8_t> bytes) { return {Kind::Send, bytes, {}}; }
  static Action resend() { return {Kind::Resend, {}, {}}; }
  static Action post(unsigned message, uint32_t wParam, intptr_t lParam) {
    Notification n;
    n.message = message;
    n.wParam = wParam;
    n.lParam = lParam;
    return {Kind::Post, {}, n};
  }
  static Action post(const Notification& n) { return {Kind::Post, {}, n}; }
  static Action finish() { return {Kind::Finish, {}, {}}; }

  friend bool operator==(const Action&, const Action&) = default;
};

using Actions = std::vector<Action>;

/// Byte `i` of a received payload, 0 where the frame is shorter. A short reply is read
/// as if it carried zeros rather than whatever an earlier frame left behind.
inline uint8_t byteAt(std::span<const uint8_t> payload, std::size_t i) {
  return i < payload.size() ? payload[i] : 0;
}

}  // namespace trv810::transfer
