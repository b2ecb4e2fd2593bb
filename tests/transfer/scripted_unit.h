#pragma once
// A unit scripted by the test, behind the serial device interface: no pseudo-terminal
// and no line. Each frame the host writes is decoded and handed to the script, whose
// reply payloads are framed and can be read at once. Any write can be made to fail
// outright or to stall until its time-out (or the stop), and the unit can send a frame
// of its own at any time.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/frame_codec.h"
#include "platform/event.h"
#include "platform/serial_device.h"

namespace trv810::tests {

class ScriptedUnit {
 public:
  using Bytes = std::vector<uint8_t>;
  /// The payloads the unit answers a received payload with.
  using Script = std::function<std::vector<Bytes>(const Bytes& received)>;
  enum class Fault { Fail, Stall };

  explicit ScriptedUnit(Script script) : script_(std::move(script)) {}

  /// Makes write number `k` (1, 2, ... over the unit's life) fail or stall.
  void faultWrite(int k, Fault fault) {
    std::lock_guard lock(mutex_);
    faults_[k] = fault;
  }
  /// The unit sends `payload` unasked.
  void send(const Bytes& payload) {
    std::lock_guard lock(mutex_);
    queue(payload);
  }
  int writes() const {
    std::lock_guard lock(mutex_);
    return writes_;
  }
  /// Set while a stalled write waits.
  platform::Event& stalling() { return stalling_; }

  /// An opener whose every device is this unit; the unit must outlive it.
  std::unique_ptr<platform::SerialDeviceOpener> opener() { return std::make_unique<Opener>(*this); }

 private:
  class Device final : public platform::SerialDevice {
   public:
    explicit Device(ScriptedUnit& unit) : unit_(unit) {}
    ReadResult readAvailable(uint8_t* buffer, std::size_t size) override { return unit_.read(buffer, size); }
    platform::WaitOutcome waitReadable(const platform::Event& stop, platform::Millis timeout) override {
      return platform::waitForEventOrStop(unit_.readable_, stop, timeout);
    }
    WriteStatus write(const uint8_t* bytes, std::size_t count, const platform::Event& stop,
                      platform::Millis timeout) override {
      return unit_.write(bytes, count, stop, timeout);
    }
    void close() override {}

   private:
    ScriptedUnit& unit_;
  };

  class Opener final : public platform::SerialDeviceOpener {
   public:
    explicit Opener(ScriptedUnit& unit) : unit_(unit) {}
    Result open(const std::string&) override {
      Result r;
      r.device = std::make_unique<Device>(unit_);
      return r;
    }

   private:
    ScriptedUnit& unit_;
  };

  platform::SerialDevice::ReadResult read(uint8_t* buffer, std::size_t size) {
    std::lock_guard lock(mutex_);
    std::size_t n = 0;
    for (; n < size && !inbox_.empty(); ++n) {
      buffer[n] = inbox_.front();
      inbox_.pop_front();
    }
    if (inbox_.empty()) readable_.reset();
    if (n == 0) return {};
    return {platform::SerialDevice::ReadStatus::Data, n, 0};
  }

  platform::SerialDevice::WriteStatus write(const uint8_t* bytes, std::size_t count, const platform::Event& stop,
                                            platform::Millis timeout) {
    using Status = platform::SerialDevice::WriteStatus;
    std::unique_lock lock(mutex_);
    const auto fault = faults_.find(++writes_);
    if (fault != faults_.end() && fault->second == Fault::Fail) return Status::Failed;
    if (fault != faults_.end()) {
      // Held back until the time-out, as a stalled adapter holds the host's output.
      lock.unlock();
      stalling_.set();
      const auto woke = platform::waitForEventOrStop(never_, stop, timeout);
      stalling_.reset();
      return woke == platform::WaitOutcome::Second ? Status::Stopped : Status::TimedOut;
    }
    decoder_.decodeBytes(bytes, count, [this](std::span<const uint8_t> content) {
      for (const Bytes& reply : script_(Bytes(content.begin(), content.end() - 2))) queue(reply);
    });
    return Status::Written;
  }

  void queue(const Bytes& payload) {
    const Bytes frame = link::encodeFrame(payload);
    inbox_.insert(inbox_.end(), frame.begin(), frame.end());
    readable_.set();
  }

  mutable std::mutex mutex_;
  Script script_;
  link::FrameDecoder decoder_;
  std::deque<uint8_t> inbox_;
  std::map<int, Fault> faults_;
  int writes_ = 0;
  platform::Event readable_{platform::Event::Reset::Manual};  // set while the inbox holds bytes
  platform::Event stalling_{platform::Event::Reset::Manual};
  platform::Event never_{platform::Event::Reset::Manual};
};

}  // namespace trv810::tests
