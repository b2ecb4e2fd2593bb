#include "link/frame_codec.h"

#include <gtest/gtest.h>

using namespace trv810::link;
using Bytes = std::vector<uint8_t>;

TEST(FrameCodec, WorkedExample) {
  EXPECT_EQ(encodeFrame(Bytes{1, 2, 3}), (Bytes{0xFF, 1, 2, 3, 0xEF, 0x0A, 0xFE}));
}
