// The transfer runner over a pseudo-terminal against trv810-sim: images arrive byte
// for byte, also through a line that drops, damages and ignores frames; a silent unit
// and a stop from outside end the transfer as they must.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "config/config_image.h"
#include "config/config_operations.h"
#include "firmware/firmware_update.h"
#include "firmware/flash_image.h"
#include "link/serial_link.h"
#include "sim/image_formats.h"
#include "sim/sample_config.h"
#include "support/simulator.h"
#include "transfer/notification_queue.h"
#include "transfer/texts.h"
#include "transfer/transfer.h"

namespace trv810::transfer {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using std::chrono::milliseconds;

std::vector<std::string> options(std::vector<std::string> more = {}) {
  std::vector<std::string> o{"--baud", "0", "--erase-delay-ms", "20"};
  o.insert(o.end(), more.begin(), more.end());
  return o;
}

Bytes readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

Bytes firmware(std::size_t length) {
  Bytes b(length);
  for (std::size_t i = 0; i < length; ++i) b[i] = static_cast<uint8_t>((i * 7 + i / 256) & 0xFF);
  b.back() = 0x5A;  // the unit cannot tell trailing 0xFF from its padding
  return b;
}

// One unit on its line, and the host's link and runner as the windows use them.
class WithUnit : public ::testing::Test {
 protected:
  void start(std::vector<std::string> simOptions) {
    dir_ = fs::temp_directory_path() / ("trv810-transfer-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    simOptions.insert(simOptions.end(), {"--save-config", configPath(), "--save-firmware", firmwarePath()});
    sim_.emplace(simOptions);
    transfer_.setTraceHook([this](TraceDirection d, std::span<const uint8_t> payload) {
      if (d != TraceDirection::Sent) return;
      std::lock_guard lock(mutex_);
      sent_.emplace_back(payload.begin(), payload.end());
    });
  }
  void TearDown() override {
    link_.closePort();
    sim_.reset();
    fs::remove_all(dir_);
  }

  std::string configPath() const { return (dir_ / "received.kfg").string(); }
  std::string firmwarePath() const { return (dir_ / "received.bin").string(); }

  PortTarget port() const { return {"COM1", sim_->device()}; }

  // The result code of the transfer `op` started, after its end; nullopt when none
  // came within `limit`.
  template <typename Op, typename... Args>
  std::optional<uint32_t> run(Op& op, const Start& started, Args&... endArgs) {
    EXPECT_TRUE(started) << started.message.boxText();
    if (!started) return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + milliseconds(20000);
    while (std::chrono::steady_clock::now() < deadline) {
      const auto n = queue_.waitFor(milliseconds(100));
      if (n && n->message == WM_TRANSFER_RESULT) {
        report_ = op.end(n->wParam, endArgs...);
        return n->wParam;
      }
    }
    return std::nullopt;
  }

  std::optional<uint32_t> writeConfig(const Bytes& image) {
    config::ConfigurationWrite op(transfer_);
    return run(op, op.start(port(), std::span<const uint8_t, config::kImageSize>(image.data(), config::kImageSize),
                            queue_));
  }
  std::optional<uint32_t> readConfig() {
    staging_.fill(0);
    config::ConfigurationRead op(transfer_, staging_);
    return run(op, op.start(port(), queue_), read_);
  }
  std::optional<uint32_t> writeFirmware(const Bytes& image) {
    std::ranges::copy(image, flash_.buffer().begin());
    flash_.setLength(static_cast<uint32_t>(image.size()));
    firmware::FirmwareUpdate op(transfer_, flash_);
    return run(op, op.start(port(), queue_));
  }

  // The configuration the unit saved: the image part of its .kfg file.
  Bytes savedConfig() const {
    const Bytes file = readFile(configPath());
    if (file.size() != 927) return {};
    return Bytes(file.begin() + 27, file.begin() + 27 + 898);
  }
  Bytes received(std::size_t length) const { return Bytes(staging_.begin(), staging_.begin() + length); }
  std::size_t sends() {
    std::lock_guard lock(mutex_);
    return sent_.size();
  }

  fs::path dir_;
  std::optional<tests::Simulator> sim_;
  NotificationQueue queue_;
  link::LinkEvents events_;
  link::SerialLink link_{events_};
  Transfer transfer_{link_};
  firmware::FlashImage flash_;
  config::StagingBuffer staging_{};
  config::ConfigImage read_;
  std::mutex mutex_;
  std::vector<Bytes> sent_;
  std::optional<Report> report_;  // of the transfer run() saw end last
};

Bytes sample() {
  const auto s = sim::sampleConfig();
  return Bytes(s.begin(), s.end());
}

Bytes changedSample() {
  Bytes image = sample();
  image[100] ^= 0x5A;
  image[897] ^= 0x01;
  return image;
}

TEST_F(WithUnit, ConfigurationWriteArrivesByteForByte) {
  start(options());
  const Bytes image = changedSample();
  EXPECT_EQ(writeConfig(image), RESULT_PROGRAMMED);
  EXPECT_EQ(savedConfig(), image);
}

TEST_F(WithUnit, ConfigurationReadArrivesInEachFormat) {
  const auto image = sim::sampleConfig();
  for (const auto& [formats, expected] : {std::pair{"3,2,1", 3}, {"2,1", 2}, {"1", 1}}) {
    SCOPED_TRACE(formats);
    start(options({"--formats", formats}));
    EXPECT_EQ(readConfig(), RESULT_READ_DONE);
    EXPECT_EQ(transfer_.formatIndex().load(), expected);
    EXPECT_EQ(transfer_.record().firmwareVersion, 0x17);
    const Bytes payload = sim::uploadPayload(image, expected, false);
    EXPECT_EQ(received(payload.size()), payload);
    sim_.reset();
  }
}

TEST_F(WithUnit, FirmwareDownloadArrivesByteForByte) {
  start(options());
  const Bytes image = firmware(4099);  // 512 whole blocks and three bytes in the final one
  EXPECT_EQ(writeFirmware(image), RESULT_PROGRAMMED);
  EXPECT_EQ(readFile(firmwarePath()), image);
}

// Three percent of the frames lost, damaged or ignored: the waits and resends of
// both sides carry every image through unchanged. Each fault costs a wait of 500 ms
// or more, so the firmware is small and the seed gives a handful of faults of each kind.
TEST_F(WithUnit, FaultsOnTheLineAreOvercome) {
  start(options({"--drop", "1%", "--corrupt", "1%", "--ignore", "1%", "--seed", "1"}));
  const Bytes image = changedSample();
  EXPECT_EQ(writeConfig(image), RESULT_PROGRAMMED);
  EXPECT_EQ(savedConfig(), image);

  EXPECT_EQ(readConfig(), RESULT_READ_DONE);
  config::ConfigImage back;
  EXPECT_EQ(config::acceptImage(back, 3, staging_), config::Acceptance::Current);
  EXPECT_EQ(Bytes(back.bytes().begin(), back.bytes().end()), image);

  const Bytes fw = firmware(301);
  EXPECT_EQ(writeFirmware(fw), RESULT_PROGRAMMED);
  EXPECT_EQ(readFile(firmwarePath()), fw);
  sim_->stop();
  const std::string summary = sim_->summary();
  for (const char* kind : {"\"dropped\":", "\"corrupted\":", "\"ignored\":"}) {
    const std::size_t at = summary.find(kind);
    ASSERT_NE(at, std::string::npos) << summary;
    EXPECT_NE(summary[at + std::string(kind).size()], '0') << "the seed gave no such fault: " << summary;
  }
}

// Real time: five sends 1.5 s apart.
TEST_F(WithUnit, SilentUnitGivesNoAnswerAfterFiveSends) {
  start(options({"--silent"}));
  const auto began = std::chrono::steady_clock::now();
  EXPECT_EQ(readConfig(), RESULT_NO_ANSWER);
  const auto took = std::chrono::steady_clock::now() - began;
  EXPECT_EQ(sends(), 5u);
  EXPECT_GE(took, milliseconds(7000));
}

// A unit that keeps answering without getting anywhere held the transfer for ever
// (the no-answer count only moves after 500 ms of silence). At its time limit, here
// shortened, the transfer ends as with a unit that stopped answering, with its own line.
TEST_F(WithUnit, AUnitThatAnswersButNeverDeliversEndsAtTheTimeLimit) {
  constexpr milliseconds kLimit{1500};
  transfer_.setTimeLimit([](Transfer::Kind, const TransferRecord&) { return kLimit; });
  for (const std::string mode : {"--chatter", "--wrong-block", "--restart-download"}) {
    SCOPED_TRACE(mode);
    start(options({mode}));
    report_.reset();
    EXPECT_EQ(mode == "--restart-download" ? writeConfig(sample()) : readConfig(), RESULT_NO_ANSWER);
    ASSERT_TRUE(report_ && report_->message);
    EXPECT_EQ(report_->message->detail, texts::timeLimitAdvice("COM1", sim_->device(), kLimit));
    EXPECT_EQ(transfer_.lastTimeLimitPassed(), kLimit);
    sim_.reset();
  }
}

TEST_F(WithUnit, StopWhileWaitingEndsWithoutAResult) {
  start(options({"--silent"}));
  std::ranges::copy(firmware(64), flash_.buffer().begin());
  flash_.setLength(64);
  firmware::FirmwareUpdate op(transfer_, flash_);
  ASSERT_TRUE(op.start(port(), queue_));
  // STARTED(1) follows the first write of the request: the runner then waits for the acknowledge.
  std::optional<Notification> n;
  while ((n = queue_.waitFor(milliseconds(5000))) && !(n->message == WM_TRANSFER_STARTED && n->wParam == 1)) {
  }
  ASSERT_TRUE(n) << "the request was not sent";
  const auto began = std::chrono::steady_clock::now();
  op.stop();
  EXPECT_LT(std::chrono::steady_clock::now() - began, milliseconds(1000));
  EXPECT_FALSE(link_.isOpen());
  EXPECT_FALSE(transfer_.active().load());
  while (const auto late = queue_.waitFor(milliseconds(50))) EXPECT_NE(late->message, WM_TRANSFER_RESULT);
  EXPECT_EQ(sends(), 1u);
}

}  // namespace
}  // namespace trv810::transfer
