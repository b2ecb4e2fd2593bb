// The block upload as a conversation with the unit: events in, actions out.

#include "transfer/upload.h"

#include <gtest/gtest.h>

#include "conversation.h"
#include "transfer/requests.h"

namespace trv810::transfer {
namespace {

using namespace conversation;

class UploadTest : public ::testing::Test {
 protected:
  UploadTest() {
    formatIndex = 3;
    prepareConfigurationRead(record, 3, staging.data(), staging.size());
  }

  // Block frame n from a unit with firmware 1.7; its bytes are n*8, n*8+1, ...
  static std::vector<uint8_t> block(uint16_t n, uint8_t fill = 0) {
    std::vector<uint8_t> f{0x2C, 0x00, 0x17, static_cast<uint8_t>(n & 0xFF), static_cast<uint8_t>(n >> 8)};
    for (int i = 0; i < 8; ++i) f.push_back(static_cast<uint8_t>(fill + (n & 0xFF) * 8 + i));
    return f;
  }
  static Action ack() { return send({0x60, 0x00}); }
  static Action askFor(uint16_t n) {
    return send({0x63, 0x00, static_cast<uint8_t>(n & 0xFF), static_cast<uint8_t>(n >> 8)});
  }
  static Action accepted(std::vector<uint8_t> bytes) {
    Notification n;
    n.message = WM_TRANSFER_ACCEPTED;
    std::copy(bytes.begin(), bytes.end(), n.accepted.begin());
    return Action::post(n);
  }

  void open() {
    u.start();
    u.onFrame({0xF0});
  }

  std::array<uint8_t, 904> staging{};
  TransferRecord record;
  std::atomic<uint8_t> formatIndex{0};
  Upload u{record, formatIndex};
};

TEST_F(UploadTest, UnitAcceptsAndSendsTheWholeImage) {
  EXPECT_EQ(u.start(), actions(resetRing(), send({0x2C, 0x00, 0x03, 0x00})));
  EXPECT_EQ(u.onFrame({0xF0, 0x00, 0x17, 0x01, 0x02}), actions(accepted({0x17, 0x01, 0x02})));
  EXPECT_EQ(u.state(), Upload::ReceiveBlocks);
  for (uint16_t k = 0; k < 112; ++k) ASSERT_EQ(u.onFrame(block(k)), actions(ack(), progress(k)));
  EXPECT_EQ(u.onFrame(block(0xFFFF, 0x40)), actions(ack(), progress(112), result(RESULT_READ_DONE), finish()));
  EXPECT_EQ(staging[0], 0);
  EXPECT_EQ(staging[895], static_cast<uint8_t>(111 * 8 + 7));
  EXPECT_EQ(staging[896], static_cast<uint8_t>(0x40 + 0xFF * 8));  // the final block at 112 * 8
  EXPECT_EQ(record.firmwareVersion, 0x17);
  EXPECT_EQ(formatIndex.load(), 3);
}

TEST_F(UploadTest, LostBlockIsAskedForAgain) {
  open();
  u.onFrame(block(0)), u.onFrame(block(1));
  EXPECT_EQ(u.onFrame(block(3)), actions(askFor(2)));
  EXPECT_EQ(staging[3 * 8], 0);  // nothing stored
  EXPECT_EQ(u.onFrame(block(2)), actions(ack(), progress(2)));
  EXPECT_EQ(staging[2 * 8], 16);
  EXPECT_EQ(u.onFrame(block(2)), actions(askFor(3)));  // a repeat asks for the block now expected
  EXPECT_EQ(u.onFrame(block(3)), actions(ack(), progress(3)));
}

TEST_F(UploadTest, FinalBlockLandsAtTheExpectedPosition) {
  open();
  for (uint16_t k = 0; k < 5; ++k) u.onFrame(block(k));
  EXPECT_EQ(u.onFrame(block(0xFFFF, 1)), actions(ack(), progress(5), result(RESULT_READ_DONE), finish()));
  EXPECT_EQ(staging[5 * 8], static_cast<uint8_t>(1 + 0xFF * 8));
}

TEST_F(UploadTest, RefusedFormatsAreAskedForInTurn) {
  u.start();
  EXPECT_EQ(u.onFrame({0xF5, 0x00, 0x09}), actions(resetRing(), send({0x2C, 0x00, 0x02, 0x00})));
  EXPECT_EQ(u.onFrame({0xF5, 0x00, 0x09}), actions(resetRing(), send({0x2C, 0x00, 0x01, 0x00})));
  EXPECT_EQ(formatIndex.load(), 1);
  u.onFrame({0xF0});
  u.onFrame(block(0xFFFF));
  EXPECT_EQ(u.state(), Upload::Finished);
  EXPECT_EQ(formatIndex.load(), 1);
  EXPECT_EQ(record.formatIndex, 1);
}

TEST_F(UploadTest, ThirdRefusalIsIncompatible) {
  u.start();
  u.onFrame({0xF5}), u.onFrame({0xF5});
  EXPECT_EQ(u.onFrame({0xF5, 0x00, 0x42}), ended(RESULT_INCOMPATIBLE, 0x42));
  EXPECT_EQ(formatIndex.load(), 0);
}

TEST_F(UploadTest, RequestIsResentOnSilenceAndOnOtherAnswers) {
  u.start();
  u.onTimeout(), u.onTimeout();
  EXPECT_EQ(u.onTimeout(), actions(resend()));
  EXPECT_EQ(u.onFrame({0x60}), actions(resend()));  // counts as a send
  u.onTimeout(), u.onTimeout(), u.onTimeout();      // fourth send
  u.onTimeout(), u.onTimeout(), u.onTimeout();      // fifth send
  u.onTimeout(), u.onTimeout();
  EXPECT_EQ(u.onTimeout(), ended(RESULT_NO_ANSWER));
}

TEST_F(UploadTest, OtherFramesAreIgnoredDuringTheBlocks) {
  open();
  EXPECT_EQ(u.onFrame({0x2A, 0x00, 0x99, 0x00, 0x00}), actions());
  EXPECT_EQ(u.onFrame({}), actions());
  EXPECT_EQ(record.firmwareVersion, 0);
  EXPECT_EQ(u.onFrame(block(0)), actions(ack(), progress(0)));
}

TEST_F(UploadTest, FirmwareVersionComesFromEveryBlockFrame) {
  open();
  std::vector<uint8_t> f = block(4);
  f[2] = 0x21;
  u.onFrame(f);  // out of order, yet its version is taken
  EXPECT_EQ(record.firmwareVersion, 0x21);
}

TEST_F(UploadTest, TimeOutsAddUpFromTheLastRequest) {
  u.start();
  u.onTimeout(), u.onTimeout();  // two waits for the accept count as well
  u.onFrame({0xF0});
  u.onFrame(block(0));
  for (int i = 0; i < 4; ++i) u.onTimeout();
  u.onFrame(block(1));  // a block does not reset the count
  for (int i = 0; i < 4; ++i) ASSERT_EQ(u.onTimeout(), actions());
  EXPECT_EQ(u.onTimeout(), ended(RESULT_NO_ANSWER));  // the eleventh
}

TEST_F(UploadTest, BlockBeyondTheDestinationIsNotStored) {
  record.imageCapacity = 20;  // room for blocks 0 and 1 only
  open();
  u.onFrame(block(0)), u.onFrame(block(1));
  EXPECT_EQ(u.onFrame(block(2)), ended(RESULT_NO_ANSWER));
  EXPECT_EQ(staging[16], 0);
}

TEST_F(UploadTest, FailedWriteEndsWithNoAnswer) {
  open();
  EXPECT_EQ(u.onLinkFailed(), ended(RESULT_NO_ANSWER));
}

TEST(UploadLimits, RecordsOutsideTheLimitsAreRefused) {
  uint8_t buffer[8];
  TransferRecord r;
  r.image = buffer;
  r.imageCapacity = sizeof buffer;
  r.blockLength = 8;
  EXPECT_TRUE(Upload::accepts(r));
  r.blockLength = 121;
  EXPECT_FALSE(Upload::accepts(r));
  r.blockLength = 0;
  EXPECT_FALSE(Upload::accepts(r));
  r.blockLength = 8;
  r.image = nullptr;
  EXPECT_FALSE(Upload::accepts(r));
}

}  // namespace
}  // namespace trv810::transfer
