#pragma once
// Helpers that let a state-machine test read like the conversation with the unit:
// events in, actions out.

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "transfer/actions.h"

namespace trv810::transfer {

inline void PrintTo(const Action& a, std::ostream* os) {
  static const char* const kNames[] = {"resetRing", "send", "resend", "post", "finish"};
  *os << kNames[static_cast<int>(a.kind)];
  if (a.kind == Action::Kind::Send) {
    *os << "(";
    for (std::size_t i = 0; i < a.payload.size(); ++i) {
      *os << (i ? " " : "") << std::hex << static_cast<int>(a.payload[i]) << std::dec;
    }
    *os << ")";
  } else if (a.kind == Action::Kind::Post) {
    *os << "(0x" << std::hex << a.notification.message << std::dec << ", " << a.notification.wParam
        << ", " << a.notification.lParam << ")";
  }
}

namespace conversation {

template <typename... A>
Actions actions(A&&... a) {
  return Actions{std::forward<A>(a)...};
}
inline Action resetRing() { return Action::resetRing(); }
inline Action send(std::vector<uint8_t> bytes) { return Action::send(bytes); }
inline Action resend() { return Action::resend(); }
inline Action started(uint32_t w, intptr_t l) { return Action::post(WM_TRANSFER_STARTED, w, l); }
inline Action progress(uint32_t w, intptr_t l = 0) { return Action::post(WM_TRANSFER_PROGRESS, w, l); }
inline Action result(uint32_t code, intptr_t l = 0) { return Action::post(WM_TRANSFER_RESULT, code, l); }
inline Action finish() { return Action::finish(); }
/// The result and the step into the finished state that always follows it.
inline Actions ended(uint32_t code, intptr_t l = 0) { return actions(result(code, l), finish()); }

/// A frame payload as the unit sends it.
inline std::vector<uint8_t> frame(std::initializer_list<uint8_t> bytes) { return bytes; }

/// Counts the Send and Resend actions in `a`.
inline int writes(const Actions& a) {
  int n = 0;
  for (const Action& x : a) n += x.kind == Action::Kind::Send || x.kind == Action::Kind::Resend;
  return n;
}

}  // namespace conversation
}  // namespace trv810::transfer
