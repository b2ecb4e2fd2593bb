// The block download as a conversation with the unit: events in, actions out.

#include "transfer/download.h"

#include <gtest/gtest.h>

#include <numeric>

#include "conversation.h"
#include "transfer/requests.h"

namespace trv810::transfer {
namespace {

using namespace conversation;

const std::vector<uint8_t> kAck{0xF0};
const std::vector<uint8_t> kReady{0x50};
const std::vector<uint8_t> kAccepted{0x60};

class DownloadTest : public ::testing::Test {
 protected:
  // A download of `length` bytes counting 0, 1, 2, ... with 8-byte blocks.
  void prepare(uint32_t length) {
    image.resize(length);
    std::iota(image.begin(), image.end(), uint8_t{0});
    record.openCommand = 0x2A;
    record.blockCommand = 0x2B;
    record.image = image.data();
    record.imageLength = length;
    record.blockLength = 8;
  }

  std::vector<uint8_t> block(uint16_t n, std::vector<uint8_t> data) {
    std::vector<uint8_t> f{0x2B, 0x00, static_cast<uint8_t>(n & 0xFF), static_cast<uint8_t>(n >> 8)};
    f.insert(f.end(), data.begin(), data.end());
    return f;
  }
  std::vector<uint8_t> imageBlock(uint16_t n) {
    return block(n, {image.begin() + n * 8, image.begin() + n * 8 + 8});
  }

  // Starts, acknowledges the opening request and lets the unit report ready.
  Actions open() {
    d.start();
    EXPECT_EQ(d.onFrame(kAck), actions());
    return d.onFrame(kReady);
  }

  std::vector<uint8_t> image;
  TransferRecord record;
  Download d{record};
};

TEST_F(DownloadTest, ConfigurationWriteOpensWithLengthAndFormat) {
  std::vector<uint8_t> config(898);
  prepareConfigurationWrite(record, config.data());
  EXPECT_EQ(d.start(), actions(resetRing(), started(0, 0),
                               send({0x2A, 0x00, 0x03, 0x82, 0x03, 0, 0, 0, 0, 0, 0, 0}),
                               started(1, 0)));
  EXPECT_EQ(d.state(), Download::AwaitRequestReply);
}

TEST_F(DownloadTest, ConfigurationGoesOutAsBlocks0To111ThenTheFinalBlock) {
  prepare(898);
  EXPECT_EQ(open(), actions(send(imageBlock(0))));
  for (uint16_t k = 0; k < 111; ++k) {
    EXPECT_EQ(d.onFrame(kAck), actions());
    ASSERT_EQ(d.onFrame(kAccepted), actions(progress(k + 1u), send(imageBlock(k + 1))));
  }
  EXPECT_EQ(d.onFrame(kAck), actions());
  // Block 111 is accepted: the last two bytes go out in the final block, filled with 0xFF.
  EXPECT_EQ(d.onFrame(kAccepted),
            actions(progress(112), send(block(0xFFFF, {image[896], image[897], 0xFF, 0xFF, 0xFF,
                                                        0xFF, 0xFF, 0xFF}))));
  EXPECT_EQ(d.onFrame(kAck), actions());
  EXPECT_EQ(d.onFrame(kAccepted), ended(RESULT_PROGRAMMED));  // no progress for the final block
  EXPECT_TRUE(d.finished());
  EXPECT_EQ(d.onFrame(kAccepted), actions());
  EXPECT_EQ(d.onTimeout(), actions());
}

TEST_F(DownloadTest, ImageOfWholeBlocksEndsWithABlockOfFill) {
  prepare(16);
  EXPECT_EQ(open(), actions(send(imageBlock(0))));
  d.onFrame(kAck);
  EXPECT_EQ(d.onFrame({0x61}), actions(progress(1), send(imageBlock(1))));  // 0x61 as 0x60
  d.onFrame(kAck);
  EXPECT_EQ(d.onFrame(kAccepted), actions(progress(2), send(block(0xFFFF, std::vector<uint8_t>(8, 0xFF)))));
}

TEST_F(DownloadTest, EmptyImageSendsOnlyTheFinalBlock) {
  prepare(0);
  EXPECT_EQ(open(), actions(send(block(0xFFFF, std::vector<uint8_t>(8, 0xFF)))));
  d.onFrame(kAck);
  EXPECT_EQ(d.onFrame(kAccepted), ended(RESULT_PROGRAMMED));
}

TEST_F(DownloadTest, SendAgainMovesToTheNamedBlock) {
  prepare(100);
  open();
  d.onFrame(kAck);
  EXPECT_EQ(d.onFrame({0x63, 0x77, 0x05, 0x00}), actions(send(imageBlock(5))));
  d.onFrame(kAck);
  EXPECT_EQ(d.onFrame(kAccepted), actions(progress(6), send(imageBlock(6))));
  // Backwards as well, and with a fresh send counter: five more sends are allowed.
  d.onFrame(kAck);
  EXPECT_EQ(d.onFrame({0x63, 0x00, 0x02, 0x00}), actions(send(imageBlock(2))));
  for (int i = 0; i < 4; ++i) {
    d.onTimeout(), d.onTimeout();
    EXPECT_EQ(d.onTimeout(), actions(resend()));
  }
}

TEST_F(DownloadTest, SendAgainAfterTheFinalBlockGoesBackAndEndsAgain) {
  prepare(16);
  open();
  d.onFrame(kAck), d.onFrame(kAccepted);
  d.onFrame(kAck), d.onFrame(kAccepted);
  d.onFrame(kAck);
  EXPECT_EQ(d.onFrame({0x63, 0x00, 0x01, 0x00}), actions(send(imageBlock(1))));
  d.onFrame(kAck);
  EXPECT_EQ(d.onFrame(kAccepted), actions(progress(2), send(block(0xFFFF, std::vector<uint8_t>(8, 0xFF)))));
  d.onFrame(kAck);
  EXPECT_EQ(d.onFrame(kAccepted), ended(RESULT_PROGRAMMED));
}

TEST_F(DownloadTest, SendAgainBeyondTheImageRecomputesTheFinalBlock) {
  prepare(16);
  open();
  d.onFrame(kAck);
  // Block 9 starts behind the 16 bytes: it goes out as the final block, all fill.
  EXPECT_EQ(d.onFrame({0x63, 0x00, 0x09, 0x00}), actions(send(block(0xFFFF, std::vector<uint8_t>(8, 0xFF)))));
  d.onFrame(kAck);
  EXPECT_EQ(d.onFrame(kAccepted), ended(RESULT_PROGRAMMED));
}

TEST_F(DownloadTest, SilentUnitGetsTheRequestFiveTimesThenNoAnswer) {
  prepare(16);
  Actions all = d.start();
  int waits = 0;
  while (!d.finished() && waits < 100) {
    Actions a = d.onTimeout();
    all.insert(all.end(), a.begin(), a.end());
    ++waits;
  }
  EXPECT_EQ(writes(all), 5);
  EXPECT_EQ(waits, 15);  // three 500 ms waits per send: 7.5 s
  EXPECT_EQ(Actions(all.end() - 2, all.end()), ended(RESULT_NO_ANSWER));
  EXPECT_EQ(all[all.size() - 4], resend());
}

TEST_F(DownloadTest, AcknowledgedRequestWaitsTwentyOneTimesForTheErase) {
  prepare(16);
  d.start();
  d.onTimeout(), d.onTimeout();  // two waits before the acknowledge
  EXPECT_EQ(d.onFrame(kAck), actions());
  for (int i = 0; i < 20; ++i) ASSERT_EQ(d.onTimeout(), actions());
  EXPECT_EQ(d.onTimeout(), actions(resend(), started(1, 0)));
}

TEST_F(DownloadTest, AnswersToTheRequest) {
  prepare(16);
  d.start();
  EXPECT_EQ(d.onFrame({0x50}), actions(resend(), started(1, 0)));  // no acknowledge: resent at once
  d.onFrame(kAck);
  EXPECT_EQ(d.onFrame({0x51}), ended(RESULT_INCOMPATIBLE));  // and no block is sent

  Download other{record};
  other.start();
  other.onFrame(kAck);
  EXPECT_EQ(other.onFrame(kAck), ended(RESULT_ERASE_FAILED));  // a second acknowledge answers
}

TEST_F(DownloadTest, AnswersToABlock) {
  prepare(16);
  open();
  EXPECT_EQ(d.onFrame({0x60}), actions(resend()));  // no acknowledge: resent at once
  d.onFrame(kAck);
  EXPECT_EQ(d.onFrame(kAck), ended(RESULT_BLOCK_FAILED));

  Download other{record};
  other.start(), other.onFrame(kAck), other.onFrame(kReady), other.onFrame(kAck);
  EXPECT_EQ(other.onFrame({0x62}), ended(RESULT_BLOCK_FAILED));
}

TEST_F(DownloadTest, BlockIsResentAfterThreeWaitsAndGivenUpAfterFiveSends) {
  prepare(16);
  open();
  d.onTimeout(), d.onTimeout();
  EXPECT_EQ(d.onTimeout(), actions(resend()));
  d.onFrame(kAck);  // the acknowledge resets the waits: three more for the answer
  d.onTimeout(), d.onTimeout();
  EXPECT_EQ(d.onTimeout(), actions(resend()));
  for (int i = 0; i < 2; ++i) d.onTimeout(), d.onTimeout(), d.onTimeout();  // sends 4 and 5
  d.onTimeout(), d.onTimeout();
  EXPECT_EQ(d.onTimeout(), ended(RESULT_NO_ANSWER));
}

TEST_F(DownloadTest, FailedWriteEndsWithNoAnswer) {
  prepare(16);
  d.start();
  EXPECT_EQ(d.onLinkFailed(), ended(RESULT_NO_ANSWER));
  EXPECT_EQ(d.onLinkFailed(), actions());
}

TEST_F(DownloadTest, UnitAddressTravelsInEveryFrameAndNotification) {
  prepare(8);
  record.unitAddress = 7;
  d.start();
  d.onFrame(kAck);
  Actions a = d.onFrame(kReady);
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].payload[1], 7);
  d.onFrame(kAck);
  EXPECT_EQ(d.onFrame(kAccepted)[0], progress(1, 7));
}

TEST(DownloadLimits, RecordsOutsideTheLimitsAreRefused) {
  std::vector<uint8_t> image(0x10000 * 8 + 1);
  TransferRecord r;
  r.image = image.data();
  r.blockLength = 8;
  r.imageLength = 0x10000 * 8;  // block 0xFFFF, reached by counting, is the last block
  EXPECT_TRUE(Download::accepts(r));
  r.imageLength += 1;  // would send data behind the final block
  EXPECT_FALSE(Download::accepts(r));
  r.imageLength = 16;
  r.blockLength = 0;
  EXPECT_FALSE(Download::accepts(r));
  r.blockLength = 123;
  EXPECT_FALSE(Download::accepts(r));
  r.blockLength = 122;
  EXPECT_TRUE(Download::accepts(r));
  r.image = nullptr;
  EXPECT_FALSE(Download::accepts(r));
  r.imageLength = 0;
  EXPECT_TRUE(Download::accepts(r));
}

TEST(DownloadLimits, LargestImageEndsWithBlockFFFFReachedByCounting) {
  std::vector<uint8_t> image(0x10000, 0x5A);
  TransferRecord r;
  r.blockCommand = 0x31;
  r.image = image.data();
  r.blockLength = 1;
  r.imageLength = 0x10000;
  Download d{r};
  d.start(), d.onFrame(kAck), d.onFrame(kReady);
  Actions last;
  for (int k = 0; k < 0xFFFF; ++k) d.onFrame(kAck), last = d.onFrame(kAccepted);
  EXPECT_EQ(last.back(), send({0x31, 0x00, 0xFF, 0xFF, 0x5A}));
  d.onFrame(kAck);
  EXPECT_EQ(d.onFrame(kAccepted), ended(RESULT_PROGRAMMED));
}

TEST(Requests, FirmwareUpdateAnnouncesWholeBlocksAndKeepsEarlierParameters) {
  TransferRecord r;
  std::vector<uint8_t> image(0x1234);
  prepareFirmwareUpdate(r, image.data(), 0x1234);
  EXPECT_EQ(r.requestParams[0], 0x46);
  EXPECT_EQ(r.requestParams[1], 0x02);
  EXPECT_EQ(r.requestParams[2], 0x00);

  prepareConfigurationWrite(r, image.data());
  prepareFirmwareUpdate(r, image.data(), 1000);
  Download d{r};
  EXPECT_EQ(d.start()[2], send({0x30, 0x00, 0x7D, 0x00, 0x03, 0, 0, 0, 0, 0, 0, 0}));

  prepareFirmwareUpdate(r, image.data(), 524280);
  EXPECT_EQ(r.requestParams[0], 0xFF);
  EXPECT_EQ(r.requestParams[1], 0xFF);
}

// The overall limit must let every download a unit really completes go through: a
// 64 KiB firmware takes about 124 s at 19200 baud, and three times that behind an
// adapter that holds each reply back for 16 ms. A configuration write still ends
// within a minute.
TEST_F(DownloadTest, TheTimeLimitGrowsWithTheImageAndLeavesRoomForASlowAdapter) {
  std::vector<uint8_t> firmware(64 * 1024);
  prepareFirmwareUpdate(record, firmware.data(), static_cast<uint32_t>(firmware.size()));
  EXPECT_GT(Download::timeLimit(record), std::chrono::seconds(3 * 124));
  std::vector<uint8_t> config(898);
  prepareConfigurationWrite(record, config.data());
  EXPECT_LT(Download::timeLimit(record), std::chrono::seconds(60));
}

}  // namespace
}  // namespace trv810::transfer
