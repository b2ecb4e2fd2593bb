// trv810-sim as a process: its PTY line, frames through the pseudo-terminal, the end
// on SIGTERM with its summary.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "config/config_file.h"
#include "link/frame_codec.h"
#include "sim/sample_config.h"
#include "support/simulator.h"

namespace trv810::sim {
namespace {

using Bytes = std::vector<uint8_t>;
using trv810::tests::Simulator;

// The host's end of the line: the pty's slave in raw mode.
class HostPort {
 public:
  explicit HostPort(const std::string& device) : fd_(::open(device.c_str(), O_RDWR | O_NOCTTY)) {
    termios t{};
    if (fd_ >= 0 && ::tcgetattr(fd_, &t) == 0) {
      ::cfmakeraw(&t);
      ::tcsetattr(fd_, TCSANOW, &t);
    }
  }
  ~HostPort() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool isOpen() const { return fd_ >= 0; }

  void send(const Bytes& payload) {
    const Bytes frame = link::encodeFrame(payload);
    ASSERT_EQ(::write(fd_, frame.data(), frame.size()), static_cast<ssize_t>(frame.size()));
  }
  /// The payloads of the next `count` frames, or fewer when 3 s pass first.
  std::vector<Bytes> receive(std::size_t count) {
    std::vector<Bytes> frames;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (frames.size() < count && std::chrono::steady_clock::now() < deadline) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      uint8_t buffer[256];
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0) continue;
      decoder_.decodeBytes(buffer, static_cast<std::size_t>(n), [&](std::span<const uint8_t> c) {
        frames.emplace_back(c.begin(), c.end() - 2);
      });
    }
    return frames;
  }

 private:
  int fd_;
  link::FrameDecoder decoder_;
};

const std::vector<std::string> kFast{"--baud", "0", "--erase-delay-ms", "0"};

TEST(SimProcess, ServesTheDeviceItNamesAcrossReopens) {
  Simulator sim(kFast);
  ASSERT_EQ(sim.device().rfind("/dev/pts/", 0), 0u) << sim.device();
  for (int round = 0; round < 2; ++round) {  // the host opens the port anew for each transfer
    HostPort host(sim.device());
    ASSERT_TRUE(host.isOpen());
    host.send({0x2C, 0, 3, 0});
    const std::vector<Bytes> frames = host.receive(2);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].at(0), 0xF0);
    EXPECT_EQ(frames[1], (Bytes{0x2C, 0, 0x17, 0, 0, 0x87, 0xD6, 0x12, 0x00, 0x08, 0x00, 0x00, 0x00}));
  }
}

TEST(SimProcess, SigtermEndsItWithASummary) {
  Simulator sim(kFast);
  {
    HostPort host(sim.device());
    host.send({0x2A, 0, 3, 0x82, 3, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(host.receive(2), (std::vector<Bytes>{{0xF0, 0}, {0x50, 0}}));
  }
  sim.signal(SIGUSR1);
  EXPECT_EQ(sim.stop(), 0);
  const std::string summary = sim.summary();
  EXPECT_NE(summary.find("\"frames_in\":1,"), std::string::npos) << summary;
  EXPECT_NE(summary.find("\"frames_out\":2,"), std::string::npos) << summary;
  // One summary on SIGUSR1, one at the end.
  const std::string log = sim.log();
  EXPECT_NE(log.find("{\"sim\":"), log.rfind("{\"sim\":")) << log;
}

TEST(SimProcess, SavesTheConfigurationItReceives) {
  const std::string path = ::testing::TempDir() + "/sim-saved.kfg";
  std::filesystem::remove(path);
  Simulator sim({"--baud", "0", "--erase-delay-ms", "0", "--save-config", path});
  HostPort host(sim.device());
  host.send({0x2A, 0, 3, 0x82, 3, 0, 0, 0, 0, 0, 0, 0});
  ASSERT_EQ(host.receive(2).size(), 2u);
  Bytes image(kImageSize);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i % 251);
  for (uint16_t n = 0; n <= 112; ++n) {
    const uint16_t number = n == 112 ? 0xFFFF : n;
    Bytes block{0x2B, 0, static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8)};
    for (std::size_t i = 0; i < 8; ++i) block.push_back(n * 8 + i < image.size() ? image[n * 8 + i] : 0xFF);
    host.send(block);
    ASSERT_EQ(host.receive(2), (std::vector<Bytes>{{0xF0, 0}, {0x60, 0}})) << n;
  }
  config::ConfigImage saved;
  ASSERT_EQ(config::loadConfigFile(path, saved, [] { return false; }), config::LoadStatus::Loaded);
  EXPECT_TRUE(std::ranges::equal(saved.bytes(), image));
  std::filesystem::remove(path);
}

TEST(SimProcess, HelpAndUsageErrors) {
  const std::string binary = trv810::tests::simulatorBinary();
  EXPECT_EQ(std::system((binary + " --help >/dev/null").c_str()), 0);
  EXPECT_EQ(WEXITSTATUS(std::system((binary + " --formats 9 2>/dev/null").c_str())), 2);
  EXPECT_EQ(WEXITSTATUS(std::system((binary + " --config /nonexistent.kfg 2>/dev/null").c_str())), 1);
}

}  // namespace
}  // namespace trv810::sim
