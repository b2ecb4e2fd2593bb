#pragma once
// The serial line's speed, simulated on a pseudo-terminal that has none: 10 bits a
// byte (start, 8 data, stop) at the chosen baud rate, in each direction on its own.
//
// Receiving: the host's bytes reach the pty at once; the unit treats each byte as if
// it had come in one byte time after the one before (or after it was written, if the
// line was idle), and sees a frame complete when its last byte would be.
// Sending: frames leave one after the other; a frame that may start at t goes on the
// line when the one before has finished, and is handed to the pty when its last byte
// would have arrived, so the host sees it no earlier than over a real line.
// Baud 0 switches the pacing off: everything takes no time.

#include <cstddef>
#include <cstdint>

#include "sim/unit.h"

namespace trv810::sim {

class LinePacing {
 public:
  /// Pacing for `baud` (0: unpaced).
  explicit LinePacing(uint32_t baud);

  /// Line time of `bytes` bytes.
  Micros lineTime(std::size_t bytes) const;
  /// A chunk of `bytes` bytes read at `now`: returns when its first byte began (after
  /// whatever came before it); byte i is complete at start + lineTime(i + 1). The line
  /// is booked to the chunk's end.
  Micros receive(std::size_t bytes, Micros now);
  /// A frame of `bytes` bytes that may start at `earliest` is complete at the returned
  /// time; the line is booked until then.
  Micros transmit(std::size_t bytes, Micros earliest);
  /// Line time of everything received and sent so far.
  Micros receiveTime() const { return rxBusy_; }
  Micros transmitTime() const { return txBusy_; }

 private:
  uint32_t baud_;  // 0: unpaced
  Micros rxFree_{0};
  Micros txFree_{0};
  Micros rxBusy_{0};
  Micros txBusy_{0};
};

}  // namespace trv810::sim
