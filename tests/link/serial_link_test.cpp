// The serial link over a real pseudo-terminal pair. These tests take real time (the
// receiver's 500 ms start pause), so they are few and each covers a whole sequence.

#include "link/serial_link.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <thread>

#include "platform/pseudo_terminal.h"
#include "platform/serial_device.h"

using namespace trv810;
using namespace std::chrono_literals;
using link::SerialLink;
using platform::PseudoTerminal;
using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

namespace {

std::size_t threadCount() {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/task")) ++n;
  return n;
}

Bytes payloadOf(const link::ReceiveRing::Slot& slot) {
  return Bytes(slot.begin() + 1, slot.begin() + 1 + slot[0]);
}

Bytes concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

void send(PseudoTerminal& pty, const Bytes& bytes) {
  ASSERT_TRUE(pty.write(bytes.data(), bytes.size()));
}

// Reads `count` bytes from the master side, waiting at most a second.
Bytes receive(PseudoTerminal& pty, std::size_t count) {
  Bytes got;
  const auto deadline = Clock::now() + 1s;
  while (got.size() < count && Clock::now() < deadline) {
    pollfd p{pty.masterDescriptor(), POLLIN, 0};
    ::poll(&p, 1, 50);
    uint8_t buffer[256];
    const long n = pty.read(buffer, sizeof buffer);
    if (n > 0) got.insert(got.end(), buffer, buffer + n);
  }
  return got;
}

template <typename F>
Clock::duration timed(F&& f) {
  const auto start = Clock::now();
  f();
  return Clock::now() - start;
}

// Wraps the real devices and counts the receiver's reads.
class CountingOpener final : public platform::SerialDeviceOpener {
 public:
  explicit CountingOpener(std::atomic<int>& reads) : reads_(reads) {}
  Result open(const std::string& path) override {
    Result r = inner_->open(path);
    if (r.device) r.device = std::make_unique<Device>(std::move(r.device), reads_);
    return r;
  }

 private:
  class Device final : public platform::SerialDevice {
   public:
    Device(std::unique_ptr<SerialDevice> inner, std::atomic<int>& reads)
        : inner_(std::move(inner)), reads_(reads) {}
    ReadResult readAvailable(uint8_t* buffer, std::size_t size) override {
      ++reads_;
      return inner_->readAvailable(buffer, size);
    }
    platform::WaitOutcome waitReadable(const platform::Event& stop, platform::Millis t) override {
      return inner_->waitReadable(stop, t);
    }
    WriteStatus write(const uint8_t* b, std::size_t n, const platform::Event& stop,
                      platform::Millis t) override {
      return inner_->write(b, n, stop, t);
    }
    void close() override { inner_->close(); }

   private:
    std::unique_ptr<SerialDevice> inner_;
    std::atomic<int>& reads_;
  };

  std::unique_ptr<platform::SerialDeviceOpener> inner_ = platform::makeSerialDeviceOpener();
  std::atomic<int>& reads_;
};

}  // namespace

TEST(SerialLink, CarriesFramesBothWaysClosesAndReopens) {
  auto pty = PseudoTerminal::create();
  ASSERT_TRUE(pty);
  link::LinkEvents events;
  SerialLink link(events);
  ASSERT_TRUE(link.openPort(pty->slavePath())) << link.lastOpenFailure().error;
  EXPECT_TRUE(link.isOpen());

  // Sent during the start pause: waits in the driver until the first read.
  send(*pty, link::encodeFrame(Bytes{1, 2, 3}));
  ASSERT_TRUE(events.frameReady.wait(2s));
  EXPECT_EQ(payloadOf(link.takeFrame()), (Bytes{1, 2, 3}));

  // Split over several writes with pauses between them: still one frame.
  const Bytes split = link::encodeFrame(Bytes{0x60, 0x00});
  for (std::size_t at = 0; at < split.size(); at += 2) {
    send(*pty, Bytes(split.begin() + static_cast<long>(at),
                     split.begin() + static_cast<long>(std::min(at + 2, split.size()))));
    std::this_thread::sleep_for(3ms);
  }
  ASSERT_TRUE(events.frameReady.wait(1s));
  EXPECT_EQ(payloadOf(link.takeFrame()), (Bytes{0x60, 0x00}));
  EXPECT_EQ(link.ring().writeIndex(), 2);
  EXPECT_EQ(link.ring().readIndex(), 2);

  // Nobody takes the first of two frames: the receiver waits 100 ms for it, then goes on.
  send(*pty, concat(link::encodeFrame(Bytes{0x11}), link::encodeFrame(Bytes{0x22})));
  const auto deadline = Clock::now() + 1s;
  while (link.ring().writeIndex() != 4 && Clock::now() < deadline) std::this_thread::sleep_for(10ms);
  ASSERT_EQ(link.ring().writeIndex(), 4);
  EXPECT_TRUE(events.frameReady.wait(0ms));  // the two signals merged into one
  EXPECT_EQ(payloadOf(link.takeFrame()), (Bytes{0x11}));
  EXPECT_EQ(payloadOf(link.takeFrame()), (Bytes{0x22}));

  const Bytes request = link::encodeFrame(Bytes{0x2C, 0x00, 0x03, 0x00});
  EXPECT_EQ(link.write(request.data(), request.size()), SerialLink::WriteOutcome::Written);
  EXPECT_EQ(receive(*pty, request.size()), request);

  EXPECT_LT(timed([&] { link.closePort(); }), 1000ms);
  EXPECT_FALSE(link.isOpen());
  EXPECT_FALSE(events.stop.isSet());
  EXPECT_EQ(link.write(request.data(), request.size()), SerialLink::WriteOutcome::Failed);

  // A second opening starts a receiver with fresh indices.
  ASSERT_TRUE(link.openPort(pty->slavePath())) << link.lastOpenFailure().error;
  send(*pty, link::encodeFrame(Bytes{7}));
  ASSERT_TRUE(events.frameReady.wait(2s));
  EXPECT_EQ(link.ring().readIndex(), 0);
  EXPECT_EQ(payloadOf(link.takeFrame()), (Bytes{7}));
  link.closePort();
  EXPECT_FALSE(events.stop.isSet());
}

TEST(SerialLink, FailedOpeningsLeaveNothingBehind) {
  link::LinkEvents events;
  SerialLink link(events);
  const std::size_t threads = threadCount();
  EXPECT_FALSE(link.openPort("/dev/trv810-no-such-port"));
  EXPECT_FALSE(link.isOpen());
  EXPECT_EQ(threadCount(), threads);
  EXPECT_EQ(link.lastOpenFailure().kind, link::OpenFailureKind::Missing);
  EXPECT_EQ(link.lastOpenFailure().error, ENOENT);
  EXPECT_EQ(link.lastOpenFailure().device, "/dev/trv810-no-such-port");

  auto pty = PseudoTerminal::create();
  ASSERT_TRUE(pty);
  ASSERT_TRUE(link.openPort(pty->slavePath()));
  link::LinkEvents otherEvents;
  SerialLink other(otherEvents);
  EXPECT_FALSE(other.openPort(pty->slavePath()));  // held exclusively, even against root
  EXPECT_EQ(other.lastOpenFailure().kind, link::OpenFailureKind::InUse);
  EXPECT_EQ(other.lastOpenFailure().device, pty->slavePath());
  EXPECT_FALSE(link.openPort(pty->slavePath()));  // already open: refused, still running
  EXPECT_TRUE(link.isOpen());

  // closePort stops the transfer thread too, here during the receiver's start pause.
  std::atomic<bool> transferEnded{false};
  ASSERT_TRUE(link.startTransferThread([&] {
    events.stop.wait(platform::kForever);
    transferEnded = true;
  }));
  link.transferActive() = true;
  EXPECT_LT(timed([&] { link.closePort(); }), 1000ms);
  EXPECT_TRUE(transferEnded);
  EXPECT_FALSE(link.transferActive());
  EXPECT_FALSE(events.stop.isSet());

  ASSERT_TRUE(other.openPort(pty->slavePath())) << other.lastOpenFailure().error;
  other.closePort();

  link.transferActive() = true;
  link.closePort();  // closed: only the flag changes
  EXPECT_FALSE(link.transferActive());
  EXPECT_FALSE(events.stop.isSet());
}

// A device that hangs up is reported once, at once, and not read again: the receiver
// waits for the stop without using the processor.
TEST(SerialLink, AVanishedDeviceIsReportedOnceAndNotReadAgain) {
  auto pty = PseudoTerminal::create();
  ASSERT_TRUE(pty);
  std::atomic<int> reads{0};
  link::LinkEvents events;
  SerialLink link(events, std::make_unique<CountingOpener>(reads));
  ASSERT_TRUE(link.openPort(pty->slavePath()));
  pty->closeMaster();  // the slave hangs up
  ASSERT_TRUE(events.frameReady.wait(2s));  // after the 500 ms start pause, at the first read
  EXPECT_TRUE(link.deviceLost());
  const int readsAtLoss = reads.load();
  EXPECT_GE(readsAtLoss, 1);
  const auto cpu = [] {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
  };
  const auto cpuBefore = cpu();
  EXPECT_FALSE(events.stop.wait(200ms));  // a spinning receiver would burn these 200 ms
  EXPECT_LT(cpu() - cpuBefore, 20ms);
  EXPECT_EQ(reads.load(), readsAtLoss);
  EXPECT_LT(timed([&] { link.closePort(); }), 1000ms);
  ASSERT_TRUE(link.lastDeviceLoss());
  EXPECT_EQ(link.lastDeviceLoss()->device, pty->slavePath());
  EXPECT_FALSE(events.frameReady.isSet());  // nothing left over for the next opening
}
