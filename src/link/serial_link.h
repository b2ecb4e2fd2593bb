#pragma once
// The serial link: opening and closing the port, the receiver thread that feeds the
// frame decoder, the ReceiveRing, and the one transfer thread that closePort() stops
// together with the receiver.
//
// The port is open only while a transfer runs. openPort() opens the device exclusively
// at 19200 8N1, raw, without flow control, and starts the receiver, which pauses
// 500 ms, then waits on the device and the stop event together and decodes what has
// arrived. After each good frame it sets frame-ready and waits up to 100 ms for
// slot-consumed. closePort() clears the transfer-active flag, sets the stop event,
// joins the receiver and the transfer thread (both end within the 1000 ms bound),
// closes the device and clears the stop event again.
//
// A device that goes away while the port is open (a hang-up, EIO, a write that fails
// outright) is recorded once as the link's failure; the receiver then sets frame-ready
// so that a waiting transfer looks at it at once, and reads no more until closePort().
//
// The link reports what happened as values (a kind, an errno, the device, the owning
// group); the words for the user are chosen by the layer that shows them.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "link/frame_codec.h"
#include "link/receive_ring.h"
#include "platform/event.h"

namespace trv810::platform {
class SerialDevice;
class SerialDeviceOpener;
}  // namespace trv810::platform

namespace trv810::link {

/// The three events of the link. Created once at start-up and kept until exit.
struct LinkEvents {
  platform::Event stop{platform::Event::Reset::Manual};
  platform::Event frameReady{platform::Event::Reset::Automatic};
  platform::Event slotConsumed{platform::Event::Reset::Automatic};
};

/// Why a port could not be opened. NotSerial: the path is no serial device (a file,
/// /dev/null); nothing was written to it. The kinds from BadAddress on are a network
/// address's, as platform::DeviceOpenError describes them.
enum class OpenFailureKind {
  None, Missing, PermissionDenied, InUse, NotSerial, Other, ThreadFailed,
  BadAddress, UnknownHost, Refused, Unreachable, ClosedAtOnce, NotRfc2217, LineRefused, TelnetGarbage, TelnetEndless
};

struct OpenFailure {
  OpenFailureKind kind = OpenFailureKind::None;
  int error = 0;            ///< errno of the failed call (0 where none failed)
  std::string device;       ///< the device path that was opened
  std::string group;        ///< the group owning the device, for PermissionDenied
  std::string note;         ///< for ClosedAtOnce: what the server said before it closed
};

/// The device went away while the port was open: the errno of the failed read or
/// write (0 for a hang-up without one).
struct DeviceLoss {
  int error = 0;
  std::string device;
};

class SerialLink {
 public:
  /// Uses this platform's serial device, or a TCP connection for a network address.
  explicit SerialLink(LinkEvents& events);
  /// Uses `opener` for the device (tests), and `startPause` before the receiver's
  /// first read (tests of scripted devices that need no settling).
  SerialLink(LinkEvents& events, std::unique_ptr<platform::SerialDeviceOpener> opener,
             platform::Millis startPause = platform::Millis(500));
  ~SerialLink();  ///< closes the port
  SerialLink(const SerialLink&) = delete;
  SerialLink& operator=(const SerialLink&) = delete;

  /// Opens `device` and starts the receiver. False when the device cannot be opened
  /// or the receiver cannot be started; lastOpenFailure() then tells why and nothing
  /// is left open.
  bool openPort(const std::string& device);
  /// Stops the transfer thread and the receiver and closes the port. Safe when closed;
  /// always clears the transfer-active flag.
  void closePort();
  bool isOpen() const { return open_.load(); }
  const OpenFailure& lastOpenFailure() const { return failure_; }
  /// Whether the device went away since the port was opened. Any thread.
  bool deviceLost() const { return lostError_.load() != kNotLost; }
  /// How it went away; read once the port is closed (the threads are gone by then).
  std::optional<DeviceLoss> lastDeviceLoss() const;

  /// Starts the transfer thread running `body`; closePort() joins it. False when the
  /// thread cannot be started. A finished earlier thread is joined first.
  bool startTransferThread(std::function<void()> body);
  /// The transfer-active flag: set by a window right before it starts a transfer,
  /// cleared by closePort().
  std::atomic<bool>& transferActive() { return transferActive_; }

  LinkEvents& events() { return events_; }
  ReceiveRing& ring() { return ring_; }

  enum class WriteOutcome { Written, Stopped, Failed };
  /// Writes a whole frame to the port. Waits until it is written, the stop event is
  /// set, or the write time-out (10 ms per byte plus 100 ms) has passed.
  WriteOutcome write(const uint8_t* bytes, std::size_t count);

  /// Consumer side of the ring, as a transfer uses it after frame-ready: copies the
  /// slot at the read index, advances the read index, sets slot-consumed.
  ReceiveRing::Slot takeFrame();
  /// Drops every frame received so far: both ring indices to 0 and no frame-ready or
  /// slot-consumed signal left over, so a transfer starts with nothing of an earlier one.
  /// A device loss stays signalled.
  void dropReceived();

 private:
  void receive();            // receiver thread body
  void deliver(std::span<const uint8_t> content);
  void recordLoss(int error);  // the first loss wins; wakes a waiting transfer

  static constexpr int kNotLost = -1;

  LinkEvents& events_;
  std::unique_ptr<platform::SerialDeviceOpener> opener_;
  std::unique_ptr<platform::SerialDevice> device_;
  std::atomic<bool> open_{false};
  std::atomic<bool> transferActive_{false};
  std::thread receiver_;
  std::thread transfer_;
  ReceiveRing ring_;
  FrameDecoder decoder_;  // kept across opening and closing, as the protocol expects
  std::array<uint8_t, 256> readBuffer_{};
  OpenFailure failure_;
  const platform::Millis startPause_;
  std::atomic<int> lostError_{kNotLost};
};

}  // namespace trv810::link
