#pragma once
// Low-latency mode of a Linux serial driver. USB adapters hold received bytes back
// for a while before passing them on (an FTDI adapter up to 16 ms, its latency
// timer); every block exchange with the unit waits for two of its replies, so that
// delay, not the line, would set the pace of a transfer. The ASYNC_LOW_LATENCY flag
// of TIOCSSERIAL asks the driver to pass bytes on at once (ftdi_sio sets its latency
// timer to 1 ms); it is one of the flags an ordinary user may change. Drivers without
// the request, and pseudo-terminals, refuse it, and the port is used as it is.

#include <linux/serial.h>

namespace trv810::platform {

/// The one call the low-latency handling makes: ioctl(fd, TIOCGSERIAL or TIOCSSERIAL,
/// info), returning 0 or -1 with errno set. Tests put a fake driver here.
using SerialInfoCall = int (*)(int fd, unsigned long request, serial_struct* info);

/// The system's ioctl().
int systemSerialInfoCall(int fd, unsigned long request, serial_struct* info);

/// Whether requestLowLatency turned the flag on, so that closing turns it off again.
struct LowLatencyChange {
  bool applied = false;
};

/// Turns the driver's low-latency flag on unless it is on already. Any refusal is
/// ignored: nothing has changed then.
LowLatencyChange requestLowLatency(int fd, SerialInfoCall call = systemSerialInfoCall);

/// Puts the flag back as it was before requestLowLatency, keeping whatever else was
/// changed in the driver's settings meanwhile. Does nothing when nothing was applied;
/// failures (a device that went away) are ignored.
void restoreLowLatency(int fd, LowLatencyChange change, SerialInfoCall call = systemSerialInfoCall);

}  // namespace trv810::platform
