// Opening network addresses: the raw connection's watch for a server that closes at
// once, the Telnet negotiation, the Telnet device over the connection, and the opener
// that tells addresses from device paths. The same on every platform: the TCP
// connection itself comes from socket_posix.cpp or socket_win32.cpp.

#include "platform/network_device.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/telnet_com_port.h"

namespace trv810::platform {
namespace {

using Clock = std::chrono::steady_clock;
using telnet::ComPortClient;

constexpr std::size_t kReadChunk = 256;
constexpr std::size_t kNoteChars = 120;
constexpr Millis kSettleMax{1000};
constexpr Millis kReplyWrite{1000};
constexpr Millis kRetryPause{200};

Millis left(Clock::time_point deadline) {
  return std::max(Millis(0), std::chrono::ceil<Millis>(deadline - Clock::now()));
}

// What a server said, as one line a user can read: printable ASCII kept, every run of
// anything else one blank, cut to kNoteChars.
std::string readable(const std::vector<uint8_t>& said) {
  std::string text;
  for (uint8_t b : said) {
    const bool printable = b >= 0x20 && b < 0x7F;
    if (printable) {
      text += static_cast<char>(b);
    } else if (!text.empty() && text.back() != ' ') {
      text += ' ';
    }
    if (text.size() >= kNoteChars) break;
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// Watches a fresh raw connection until `deadline`. Returns a failure when the server
// closed it; what arrived before is dropped either way.
std::optional<SerialDeviceOpener::Result> watchRawStart(SerialDevice& device, Clock::time_point deadline) {
  const Event never(Event::Reset::Manual);
  std::vector<uint8_t> said;
  uint8_t buffer[kReadChunk];
  for (;;) {
    const Millis wait = left(deadline);
    if (wait.count() == 0) return std::nullopt;
    if (device.waitReadable(never, wait) != WaitOutcome::First) continue;
    const auto got = device.readAvailable(buffer, sizeof buffer);
    if (got.status == SerialDevice::ReadStatus::Gone)
      return openFailure(DeviceOpenError::ClosedAtOnce, got.error, readable(said));
    if (got.status == SerialDevice::ReadStatus::Data && said.size() < kNoteChars * 2)
      said.insert(said.end(), buffer, buffer + got.count);
  }
}

// Telnet with the COM-port option over a TCP connection. The receiver thread reads
// (and answers the server's negotiation), the transfer thread writes: the machine is
// shared under a lock, and whole writes to the connection are kept apart by another,
// so that an answer never lands inside an escaped byte of a frame.
class Rfc2217Device final : public SerialDevice {
 public:
  Rfc2217Device(std::unique_ptr<SerialDevice> tcp, ComPortClient machine)
      : tcp_(std::move(tcp)), machine_(std::move(machine)) {}
  ~Rfc2217Device() override { close(); }

  ReadResult readAvailable(uint8_t* buffer, std::size_t size) override {
    if (taken_ < pending_.size()) return handOut(buffer, size);
    uint8_t raw[kReadChunk];
    for (;;) {
      const ReadResult got = tcp_->readAvailable(raw, sizeof raw);
      if (got.status != ReadStatus::Data) return got;
      std::vector<uint8_t> reply;
      pending_.clear();
      taken_ = 0;
      {
        std::lock_guard lock(machineMutex_);
        machine_.receive({raw, got.count}, pending_, reply);
      }
      if (!reply.empty()) sendWire(reply, never_, kReplyWrite);
      if (!pending_.empty()) return handOut(buffer, size);
      // Only Telnet commands came: look for more without waiting.
    }
  }

  WaitOutcome waitReadable(const Event& stop, Millis timeout) override {
    if (taken_ < pending_.size() && !stop.isSet()) return WaitOutcome::First;
    return tcp_->waitReadable(stop, timeout);
  }

  WriteStatus write(const uint8_t* bytes, std::size_t count, const Event& stop, Millis timeout) override {
    std::vector<uint8_t> wire;
    {
      std::lock_guard lock(machineMutex_);
      machine_.encode({bytes, count}, wire);
    }
    return sendWire(wire, stop, timeout);
  }

  void close() override { tcp_->close(); }

 private:
  ReadResult handOut(uint8_t* buffer, std::size_t size) {
    const std::size_t n = std::min(size, pending_.size() - taken_);
    std::memcpy(buffer, pending_.data() + taken_, n);
    taken_ += n;
    return {ReadStatus::Data, n, 0};
  }

  WriteStatus sendWire(const std::vector<uint8_t>& wire, const Event& stop, Millis timeout) {
    std::lock_guard lock(writeMutex_);
    return tcp_->write(wire.data(), wire.size(), stop, timeout);
  }

  std::unique_ptr<SerialDevice> tcp_;
  std::mutex machineMutex_;
  ComPortClient machine_;
  std::mutex writeMutex_;
  const Event never_{Event::Reset::Manual};
  std::vector<uint8_t> pending_;  // data decoded but not yet handed out (receiver thread only)
  std::size_t taken_ = 0;
};

SerialDeviceOpener::Result failureOf(ComPortClient::State state, std::string note) {
  switch (state) {
    case ComPortClient::State::Refused: return openFailure(DeviceOpenError::NotRfc2217, kTelnetRefused, std::move(note));
    case ComPortClient::State::LineRefused: return openFailure(DeviceOpenError::LineRefused, 0, std::move(note));
    case ComPortClient::State::Endless: return openFailure(DeviceOpenError::TelnetEndless, 0, std::move(note));
    default: return openFailure(DeviceOpenError::TelnetGarbage, 0, std::move(note));
  }
}

// Runs the negotiation on a fresh connection until the line is ready, within `limit`.
SerialDeviceOpener::Result negotiate(std::unique_ptr<SerialDevice> tcp, Millis limit) {
  const auto deadline = Clock::now() + limit;
  const Event never(Event::Reset::Manual);
  ComPortClient machine;
  const std::vector<uint8_t> opening = machine.start();
  if (tcp->write(opening.data(), opening.size(), never, limit) != SerialDevice::WriteStatus::Written)
    return openFailure(DeviceOpenError::ClosedAtOnce);
  std::vector<uint8_t> said;  // data before the line is ready: shown if the server closes, else dropped
  uint8_t raw[kReadChunk];
  while (machine.state() == ComPortClient::State::Negotiating) {
    const Millis wait = left(deadline);
    if (wait.count() == 0)
      return openFailure(DeviceOpenError::NotRfc2217, machine.heardTelnet() ? kTelnetUnfinished : kTelnetSilent);
    if (tcp->waitReadable(never, wait) != WaitOutcome::First) continue;
    const auto got = tcp->readAvailable(raw, sizeof raw);
    if (got.status == SerialDevice::ReadStatus::Gone)
      return openFailure(DeviceOpenError::ClosedAtOnce, got.error, readable(said));
    if (got.status != SerialDevice::ReadStatus::Data) continue;
    std::vector<uint8_t> reply;
    machine.receive({raw, got.count}, said, reply);
    if (said.size() > kNoteChars * 2) said.resize(kNoteChars * 2);
    if (!reply.empty() && tcp->write(reply.data(), reply.size(), never, left(deadline)) !=
                              SerialDevice::WriteStatus::Written)
      return openFailure(DeviceOpenError::ClosedAtOnce, 0, readable(said));
  }
  if (machine.failed()) return failureOf(machine.state(), readable(said));
  SerialDeviceOpener::Result r;
  r.device = std::make_unique<Rfc2217Device>(std::move(tcp), std::move(machine));
  return r;
}

class NetworkDeviceOpener final : public SerialDeviceOpener {
 public:
  explicit NetworkDeviceOpener(NetworkLimits limits) : limits_(limits) {}

  Result open(const std::string& path) override {
    const AddressParse parsed = parseNetworkAddress(path);
    if (!parsed.address) return openFailure(DeviceOpenError::BadAddress, static_cast<int>(parsed.problem));
    const auto giveUp = Clock::now() + limits_.closedRetry;
    for (;;) {
      Result r = openOnce(*parsed.address);
      if (r.device || r.error != DeviceOpenError::ClosedAtOnce || Clock::now() + kRetryPause > giveUp) return r;
      std::this_thread::sleep_for(kRetryPause);
    }
  }

 private:
  Result openOnce(const NetworkAddress& address) {
    const auto began = Clock::now();
    Result connected = connectTcp(address, limits_.connect);
    if (!connected.device) return connected;
    if (address.protocol == NetworkProtocol::Rfc2217)
      return negotiate(std::move(connected.device), limits_.negotiation);
    // A round trip brings a server's close; give it two, as the connection took one.
    const Millis took = std::chrono::ceil<Millis>(Clock::now() - began);
    const Millis settle = std::min(kSettleMax, std::max(limits_.settleMin, 2 * took));
    if (auto closed = watchRawStart(*connected.device, Clock::now() + settle)) return std::move(*closed);
    return connected;
  }

  NetworkLimits limits_;
};

class DeviceOpener final : public SerialDeviceOpener {
 public:
  Result open(const std::string& path) override {
    return isNetworkAddress(path) ? network_->open(path) : serial_->open(path);
  }

 private:
  std::unique_ptr<SerialDeviceOpener> serial_ = makeSerialDeviceOpener();
  std::unique_ptr<SerialDeviceOpener> network_ = makeNetworkDeviceOpener();
};

}  // namespace

std::unique_ptr<SerialDeviceOpener> makeNetworkDeviceOpener(NetworkLimits limits) {
  return std::make_unique<NetworkDeviceOpener>(limits);
}

std::unique_ptr<SerialDeviceOpener> makeDeviceOpener() { return std::make_unique<DeviceOpener>(); }

DevicePresence portPresence(const std::string& path) {
  return isNetworkAddress(path) ? DevicePresence::NetworkAddress : devicePresence(path);
}

}  // namespace trv810::platform
