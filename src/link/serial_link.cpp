// The serial link's threads and their hand-over.
//
// openPort() opens the device (exclusively, 19200 8N1 raw; the opener discards what
// waited in the driver) and starts the receiver. The receiver resets the ring's
// indices, pauses 500 ms, then loops: wait on the device and the stop event together,
// read what has arrived, feed it to the decoder. Each good frame goes into the ring;
// frame-ready is set and the receiver waits up to 100 ms for slot-consumed before it
// decodes on. Every wait of the receiver also wakes on the stop event, so it ends at
// once when closePort() sets it. A device that has gone away (hang-up, EIO) makes
// every wake a failed read; those are paced 50 ms apart instead of spinning.
//
// closePort() sets stop, joins the receiver and the transfer thread (both end within
// a few milliseconds of the stop), and only then closes the device: no thread ever
// touches a closed device, and no thread is left running.

#include "link/serial_link.h"

#include <cerrno>
#include <system_error>

#include "platform/error_text.h"
#include "platform/serial_device.h"

namespace trv810::link {
namespace {

using platform::Millis;
using platform::WaitOutcome;

constexpr Millis kStartPause{500};     // before the first read: the unit settles
constexpr Millis kIdleWake{500};       // a wait on a quiet line wakes this often
constexpr Millis kConsumerWait{100};   // for slot-consumed after each delivered frame
constexpr Millis kRetryPause{50};      // between reads of a device that has gone away
constexpr Millis kWritePerByte{10};
constexpr Millis kWriteExtra{100};

OpenFailureKind kindOf(platform::DeviceOpenError error) {
  switch (error) {
    case platform::DeviceOpenError::None: return OpenFailureKind::None;
    case platform::DeviceOpenError::Missing: return OpenFailureKind::Missing;
    case platform::DeviceOpenError::PermissionDenied: return OpenFailureKind::PermissionDenied;
    case platform::DeviceOpenError::InUse: return OpenFailureKind::InUse;
    case platform::DeviceOpenError::Other: break;
  }
  return OpenFailureKind::Other;
}

}  // namespace

std::string OpenFailure::reason() const {
  switch (kind) {
    case OpenFailureKind::None:
      return {};
    case OpenFailureKind::Missing:
      if (error == ENOENT || error == 0) return "Das Gerät " + device + " gibt es nicht.";
      return "Hinter " + device + " steht keine serielle Schnittstelle.";
    case OpenFailureKind::PermissionDenied:
      if (group.empty() || group == "root") return "Keine Berechtigung für " + device + ".";
      return "Keine Berechtigung für " + device + ": treten Sie der Gruppe " + group +
             " bei (sudo usermod -aG " + group + " $USER, danach neu anmelden).";
    case OpenFailureKind::InUse:
      if (error == EALREADY) return device + " ist bereits geöffnet.";
      return device + " wird von einem anderen Programm benutzt.";
    case OpenFailureKind::ThreadFailed:
      return "Der Empfänger für " + device + " konnte nicht gestartet werden.";
    case OpenFailureKind::Other:
      break;
  }
  return device + " lässt sich nicht öffnen: " + platform::errorText(error) + ".";
}

SerialLink::SerialLink(LinkEvents& events)
    : SerialLink(events, platform::makeSerialDeviceOpener()) {}

SerialLink::SerialLink(LinkEvents& events, std::unique_ptr<platform::SerialDeviceOpener> opener)
    : events_(events), opener_(std::move(opener)) {}

SerialLink::~SerialLink() {
  closePort();
  if (transfer_.joinable()) {  // a transfer started without an open port
    events_.stop.set();
    transfer_.join();
    events_.stop.reset();
  }
}

bool SerialLink::openPort(const std::string& device) {
  failure_ = OpenFailure{};
  failure_.device = device;
  if (open_.load()) {  // a second receiver would clash with the first
    failure_.kind = OpenFailureKind::InUse;
    failure_.error = EALREADY;
    return false;
  }
  auto opened = opener_->open(device);
  if (!opened.device) {
    failure_.kind = kindOf(opened.error);
    failure_.error = opened.errorNumber;
    failure_.group = opened.group;
    return false;
  }
  device_ = std::move(opened.device);
  try {
    receiver_ = std::thread(&SerialLink::receive, this);
  } catch (const std::system_error& e) {
    device_->close();
    device_.reset();
    failure_.kind = OpenFailureKind::ThreadFailed;
    failure_.error = e.code().value();
    return false;
  }
  open_.store(true);
  return true;
}

void SerialLink::closePort() {
  transferActive_.store(false);
  if (!open_.load()) return;
  events_.stop.set();
  receiver_.join();
  if (transfer_.joinable() && transfer_.get_id() != std::this_thread::get_id()) transfer_.join();
  device_->close();
  device_.reset();
  open_.store(false);
  events_.stop.reset();
}

bool SerialLink::startTransferThread(std::function<void()> body) {
  if (transfer_.joinable() && transfer_.get_id() != std::this_thread::get_id()) transfer_.join();
  try {
    transfer_ = std::thread(std::move(body));
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

SerialLink::WriteOutcome SerialLink::write(const uint8_t* bytes, std::size_t count) {
  if (!device_) return WriteOutcome::Failed;
  const Millis timeout = kWritePerByte * static_cast<long>(count) + kWriteExtra;
  switch (device_->write(bytes, count, events_.stop, timeout)) {
    case platform::SerialDevice::WriteStatus::Written: return WriteOutcome::Written;
    case platform::SerialDevice::WriteStatus::Stopped: return WriteOutcome::Stopped;
    case platform::SerialDevice::WriteStatus::TimedOut:
    case platform::SerialDevice::WriteStatus::Failed: break;
  }
  return WriteOutcome::Failed;
}

ReceiveRing::Slot SerialLink::takeFrame() {
  ReceiveRing::Slot slot = ring_.take();
  events_.slotConsumed.set();
  return slot;
}

void SerialLink::receive() {
  ring_.resetIndices();
  if (events_.stop.wait(kStartPause)) return;  // the manual stop event stays set
  for (;;) {
    const WaitOutcome woke = device_->waitReadable(events_.stop, kIdleWake);
    if (woke == WaitOutcome::Second) return;
    if (woke == WaitOutcome::TimedOut) continue;
    const auto got = device_->readAvailable(readBuffer_.data(), readBuffer_.size());
    if (got.status == platform::SerialDevice::ReadStatus::Data) {
      decoder_.decodeBytes(readBuffer_.data(), got.count,
                           [this](std::span<const uint8_t> content) { deliver(content); });
      continue;
    }
    // Woken without data: the device failed or hung up. Try again later, not at once.
    if (events_.stop.wait(kRetryPause)) return;
  }
}

void SerialLink::deliver(std::span<const uint8_t> content) {
  ring_.store(content);
  events_.frameReady.set();
  platform::waitForEither(events_.slotConsumed, events_.stop, kConsumerWait);
}

}  // namespace trv810::link
