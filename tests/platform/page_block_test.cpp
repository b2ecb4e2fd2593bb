#include "platform/page_block.h"

#include <gtest/gtest.h>

#include <algorithm>

using trv810::platform::allocatePageBlock;

TEST(PageBlock, IsZeroAndWritableToItsLastByteWhateverTheSize) {
  for (std::size_t size : {std::size_t{1}, std::size_t{5000}, std::size_t{0x200000}}) {
    auto block = allocatePageBlock(size);
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(std::all_of(block.get(), block.get() + size, [](uint8_t b) { return b == 0; }));
    std::fill_n(block.get(), size, uint8_t{0xFF});
    EXPECT_EQ(block[size - 1], 0xFF);
  }
}
