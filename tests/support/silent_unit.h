#pragma once
// A serial port whose unit never answers: writes go out, nothing ever arrives, so a
// transfer thread runs until the port is closed.

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "platform/serial_device.h"

namespace trv810::tests {

class SilentOpener final : public platform::SerialDeviceOpener {
 public:
  Result open(const std::string&) override {
    Result r;
    r.device = std::make_unique<Device>();
    return r;
  }

 private:
  class Device final : public platform::SerialDevice {
   public:
    ReadResult readAvailable(uint8_t*, std::size_t) override { return {}; }
    platform::WaitOutcome waitReadable(const platform::Event& stop, platform::Millis timeout) override {
      const auto end = std::chrono::steady_clock::now() + timeout;
      while (std::chrono::steady_clock::now() < end) {
        if (stop.isSet()) return platform::WaitOutcome::Second;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
      return platform::WaitOutcome::TimedOut;
    }
    WriteStatus write(const uint8_t*, std::size_t, const platform::Event& stop, platform::Millis) override {
      return stop.isSet() ? WriteStatus::Stopped : WriteStatus::Written;
    }
    void close() override {}
  };
};

}  // namespace trv810::tests
