// The transfer runner with a scripted unit behind the serial device: a write that
// fails or stalls at any point of a short download and a short upload, and two
// transfers in a row with a stray frame between them. Every run must end with exactly
// one result, or with none after a stop, and leave no thread behind.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "config/config_operations.h"
#include "firmware/firmware_update.h"
#include "firmware/flash_image.h"
#include "link/serial_link.h"
#include "scripted_unit.h"
#include "transfer/notification_queue.h"
#include "transfer/transfer.h"

namespace trv810::transfer {
namespace {

using std::chrono::milliseconds;
using tests::ScriptedUnit;
using Bytes = ScriptedUnit::Bytes;

constexpr uint16_t kFinal = 0xFFFF;

// A unit that takes a firmware download: acknowledge, then ready or accepted.
std::vector<Bytes> takesDownload(const Bytes& received) {
  if (received.at(0) == 0x30) return {{0xF0}, {0x50}};
  return {{0xF0}, {0x60}};
}

// A unit that delivers its configuration as blocks 0 and 1 and the final block, one
// per acknowledge.
ScriptedUnit::Script deliversConfiguration() {
  return [next = 0](const Bytes& received) mutable -> std::vector<Bytes> {
    const auto block = [](uint16_t n) {
      Bytes b{0x2C, 0x00, 0x17, static_cast<uint8_t>(n & 0xFF), static_cast<uint8_t>(n >> 8)};
      b.resize(b.size() + 8, static_cast<uint8_t>(n));
      return b;
    };
    if (received.at(0) == 0x2C) return {{0xF0, 0x00}, block(0)};
    if (++next == 1) return {block(1)};
    if (next == 2) return {block(kFinal)};
    return {};
  };
}

class Runner : public ::testing::Test {
 protected:
  void use(ScriptedUnit::Script script) {
    unit_.emplace(std::move(script));
    link_.emplace(events_, unit_->opener(), milliseconds(0));
    transfer_.emplace(*link_);
  }

  PortTarget port() const { return {"COM1", "scripted"}; }

  // The result the transfer posts, or nullopt when none comes within a few seconds.
  std::optional<uint32_t> awaitResult() {
    while (const auto n = queue_.waitFor(milliseconds(5000))) {
      if (n->message == WM_TRANSFER_RESULT) return n->wParam;
    }
    return std::nullopt;
  }

  // Once the thread is gone: no second result may be left in the queue.
  int resultsLeft() {
    int n = 0;
    while (const auto late = queue_.waitFor(milliseconds(0))) n += late->message == WM_TRANSFER_RESULT;
    return n;
  }

  std::optional<uint32_t> download(ScriptedUnit::Script script, std::optional<Report>* report = nullptr) {
    if (script) use(std::move(script));
    const Bytes image{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};  // blocks 0, 1 and the final one
    std::ranges::copy(image, flash_.buffer().begin());
    flash_.setLength(static_cast<uint32_t>(image.size()));
    firmware::FirmwareUpdate op(*transfer_, flash_);
    if (!op.start(port(), queue_)) return std::nullopt;
    const auto code = awaitResult();
    if (code && report) *report = op.end(*code);
    op.stop();  // joins the thread, with or without a result
    return code;
  }

  std::optional<uint32_t> upload(std::optional<config::ReadReport>* report = nullptr) {
    staging_.fill(0);
    config::ConfigurationRead op(*transfer_, staging_);
    if (!op.start(port(), queue_)) return std::nullopt;
    const auto code = awaitResult();
    if (code) {
      const config::ReadReport r = op.end(*code, image_);
      if (report) *report = r;
    }
    op.stop();
    return code;
  }

  link::LinkEvents events_;
  std::optional<ScriptedUnit> unit_;
  std::optional<link::SerialLink> link_;
  std::optional<Transfer> transfer_;
  NotificationQueue queue_;
  firmware::FlashImage flash_;
  config::StagingBuffer staging_{};
  config::ConfigImage image_;
};

// The download writes the request and three blocks; the upload the request and three
// acknowledges, the last of which comes after the machine has decided RESULT_READ_DONE.
TEST_F(Runner, EveryWriteThatFailsOrStallsEndsTheTransferWithOneResult) {
  for (const ScriptedUnit::Fault fault : {ScriptedUnit::Fault::Fail, ScriptedUnit::Fault::Stall}) {
    for (int k = 1; k <= 5; ++k) {
      SCOPED_TRACE("write " + std::to_string(k) + (fault == ScriptedUnit::Fault::Fail ? " fails" : " stalls"));
      use(takesDownload);
      unit_->faultWrite(k, fault);
      std::optional<Report> written;
      EXPECT_EQ(download(nullptr, &written), k <= 4 ? RESULT_NO_ANSWER : RESULT_PROGRAMMED);
      EXPECT_EQ(resultsLeft(), 0);
      EXPECT_FALSE(link_->isOpen());

      use(deliversConfiguration());
      unit_->faultWrite(k, fault);
      std::optional<config::ReadReport> read;
      EXPECT_EQ(upload(&read), k <= 3 ? RESULT_NO_ANSWER : RESULT_READ_DONE);
      EXPECT_EQ(resultsLeft(), 0);
      EXPECT_FALSE(link_->isOpen());
      if (k == 4) {
        EXPECT_EQ(staging_[16], kFinal & 0xFF);  // the final block was stored
      }
      if (k != 2 || !written || !read) continue;
      // The line under "Verbindung unterbrochen !": a write refused outright means the
      // device is gone; one that stalled, that the unit did not take it.
      const bool gone = fault == ScriptedUnit::Fault::Fail;
      for (const std::string& detail : {written->message->detail, read->message->detail}) {
        EXPECT_NE(detail.find(gone ? "verschwunden" : "Keine Antwort"), std::string::npos) << detail;
        EXPECT_NE(detail.find("COM1 (scripted)"), std::string::npos) << detail;
      }
    }
  }
}

TEST_F(Runner, AStopDuringAStalledWriteEndsWithoutAResult) {
  use(deliversConfiguration());
  unit_->faultWrite(2, ScriptedUnit::Fault::Stall);
  config::ConfigurationRead op(*transfer_, staging_);
  ASSERT_TRUE(op.start(port(), queue_));
  ASSERT_TRUE(unit_->stalling().wait(milliseconds(5000)));
  op.stop();
  EXPECT_FALSE(link_->isOpen());
  EXPECT_EQ(resultsLeft(), 0);
}

// A frame that arrives after the result, while the transfer waits to be closed, must
// not be taken as the next transfer's first reply: taken as the acknowledge of the
// request, it puts every later reply one frame out of step (a failed erase, or blocks
// sent again).
TEST_F(Runner, AStrayFrameBetweenTwoTransfersIsNotTakenByTheSecond) {
  std::atomic<bool> second{false};
  use([&second](const Bytes& received) -> std::vector<Bytes> {
    if (received.at(0) == 0x30 && second) return {};  // acknowledged by the test below
    if (received.at(0) == 0x31 && received.at(2) == 0xFF && !second) return {{0xF0}, {0x60}, {0xF0}};  // stray F0
    return takesDownload(received);
  });
  flash_.setLength(16);
  firmware::FirmwareUpdate op(*transfer_, flash_);
  ASSERT_TRUE(op.start(port(), queue_));
  ASSERT_EQ(awaitResult(), RESULT_PROGRAMMED);
  // The stray frame is delivered while nobody takes it: frame-ready stays set.
  const auto deadline = std::chrono::steady_clock::now() + milliseconds(5000);
  while (!events_.frameReady.isSet() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(milliseconds(1));
  ASSERT_TRUE(events_.frameReady.isSet());
  op.end(RESULT_PROGRAMMED);
  EXPECT_FALSE(events_.frameReady.isSet());  // closing the port dropped it

  second = true;
  const int before = unit_->writes();
  ASSERT_TRUE(op.start(port(), queue_));
  // STARTED(1) follows the request's write; only then does the unit acknowledge it.
  std::optional<Notification> n;
  while ((n = queue_.waitFor(milliseconds(5000))) && !(n->message == WM_TRANSFER_STARTED && n->wParam == 1)) {
  }
  ASSERT_TRUE(n);
  unit_->send({0xF0});
  unit_->send({0x50});
  EXPECT_EQ(awaitResult(), RESULT_PROGRAMMED);
  op.end(RESULT_PROGRAMMED);
  EXPECT_EQ(unit_->writes() - before, 4);  // the request and three blocks, none of them again
  EXPECT_EQ(resultsLeft(), 0);
}

}  // namespace
}  // namespace trv810::transfer
