// The serial link's threads and their hand-over.
//
// openPort() opens the device (exclusively, 19200 8N1 raw; the opener discards what
// waited in the driver) and starts the receiver. The receiver resets the ring's
// indices, pauses 500 ms, then loops: wait on the device and the stop event together,
// read what has arrived, feed it to the decoder. Each good frame goes into the ring;
// frame-ready is set and the receiver waits up to 100 ms for slot-consumed before it
// decodes on. Every wait of the receiver also wakes on the stop event, so it ends at
// once when closePort() sets it. A device that has gone away (hang-up, EIO) is
// recorded as the link's loss and frame-ready is set, so a waiting transfer ends at
// once; the receiver then only waits for the stop event: no read is tried again, so
// nothing spins on a device that is gone.
//
// closePort() sets stop, joins the receiver and the transfer thread (both end within
// a few milliseconds of the stop), and only then closes the device: no thread ever
// touches a closed device, and no thread is left running.

#include "link/serial_link.h"

#include <cerrno>
#include <system_error>

#include "platform/serial_device.h"

namespace trv810::link {
namespace {

using platform::Millis;
using platform::WaitOutcome;

constexpr Millis kIdleWake{500};       // a wait on a quiet line wakes this often
constexpr Millis kConsumerWait{100};   // for slot-consumed after each delivered frame
constexpr Millis kRetryPause{50};      // after a wake that brought nothing
constexpr Millis kWritePerByte{10};
constexpr Millis kWriteExtra{100};

OpenFailureKind kindOf(platform::DeviceOpenError error) {
  switch (error) {
    case platform::DeviceOpenError::None: return OpenFailureKind::None;
    case platform::DeviceOpenError::Missing: return OpenFailureKind::Missing;
    case platform::DeviceOpenError::PermissionDenied: return OpenFailureKind::PermissionDenied;
    case platform::DeviceOpenError::InUse: return OpenFailureKind::InUse;
    case platform::DeviceOpenError::NotSerial: return OpenFailureKind::NotSerial;
    case platform::DeviceOpenError::BadAddress: return OpenFailureKind::BadAddress;
    case platform::DeviceOpenError::UnknownHost: return OpenFailureKind::UnknownHost;
    case platform::DeviceOpenError::Refused: return OpenFailureKind::Refused;
    case platform::DeviceOpenError::Unreachable: return OpenFailureKind::Unreachable;
    case platform::DeviceOpenError::ClosedAtOnce: return OpenFailureKind::ClosedAtOnce;
    case platform::DeviceOpenError::NotRfc2217: return OpenFailureKind::NotRfc2217;
    case platform::DeviceOpenError::LineRefused: return OpenFailureKind::LineRefused;
    case platform::DeviceOpenError::TelnetGarbage: return OpenFailureKind::TelnetGarbage;
    case platform::DeviceOpenError::TelnetEndless: return OpenFailureKind::TelnetEndless;
    case platform::DeviceOpenError::Other: break;
  }
  return OpenFailureKind::Other;
}

}  // namespace

SerialLink::SerialLink(LinkEvents& events)
    : SerialLink(events, platform::makeDeviceOpener()) {}

SerialLink::SerialLink(LinkEvents& events, std::unique_ptr<platform::SerialDeviceOpener> opener,
                       Millis startPause)
    : events_(events), opener_(std::move(opener)), startPause_(startPause) {}

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
    failure_.note = opened.note;
    return false;
  }
  device_ = std::move(opened.device);
  lostError_.store(kNotLost);
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
  // A frame that arrived after the transfer stopped taking them (in its finished
  // state, or decoded while stopping) must not be taken by the next transfer.
  ring_.resetIndices();
  events_.frameReady.reset();
  events_.slotConsumed.reset();
  events_.stop.reset();
}

std::optional<DeviceLoss> SerialLink::lastDeviceLoss() const {
  const int error = lostError_.load();
  if (error == kNotLost) return std::nullopt;
  return DeviceLoss{error, failure_.device};
}

void SerialLink::dropReceived() {
  ring_.resetIndices();
  events_.frameReady.reset();
  events_.slotConsumed.reset();
  if (deviceLost()) events_.frameReady.set();  // the loss is no frame: it stays told
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
    case platform::SerialDevice::WriteStatus::TimedOut: break;
    case platform::SerialDevice::WriteStatus::Failed:
      // Refused outright rather than late: a serial device does that once it is gone.
      recordLoss(0);
      break;
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
  if (events_.stop.wait(startPause_)) return;  // the manual stop event stays set
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
    if (got.status == platform::SerialDevice::ReadStatus::Nothing) {
      // Woken without data and without a failure: look again after a pause, not at once.
      if (events_.stop.wait(kRetryPause)) return;
      continue;
    }
    // The device failed or hung up: it is gone for this opening. Tell the transfer,
    // then wait for closePort() without touching the device again.
    recordLoss(got.error);
    events_.stop.wait(platform::kForever);
    return;
  }
}

void SerialLink::recordLoss(int error) {
  int none = kNotLost;
  if (lostError_.compare_exchange_strong(none, error)) events_.frameReady.set();
}

void SerialLink::deliver(std::span<const uint8_t> content) {
  ring_.store(content);
  events_.frameReady.set();
  platform::waitForEither(events_.slotConsumed, events_.stop, kConsumerWait);
}

}  // namespace trv810::link
