#pragma once
// The firmware loader's tests: a scratch folder and a FlashImage to load into.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "firmware/flash_loader.h"
#include "hex_files.h"

namespace trv810::firmware::test {

class Loader : public ::testing::Test {
 protected:
  TempDir dir;
  FlashImage image;

  LoadResult load(const std::string& title, const std::string& content) {
    return loadFlashImage(image, dir.write(title, content), title);
  }
  std::vector<uint8_t> at(std::size_t offset, std::size_t n) const {
    const auto b = image.buffer().subspan(offset, n);
    return {b.begin(), b.end()};
  }
  bool windowIsBlank() const {
    const auto w = image.buffer().first(FlashImage::kHexWindow);
    return std::all_of(w.begin(), w.end(), [](uint8_t b) { return b == 0xFF; });
  }
};

}  // namespace trv810::firmware::test
