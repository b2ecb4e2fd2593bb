#include "sim/image_formats.h"

#include <gtest/gtest.h>

#include "config/config_image.h"
#include "sim/sample_config.h"

namespace trv810::sim {
namespace {

using Bytes = std::vector<uint8_t>;

std::array<uint8_t, kImageSize> numbered() {
  std::array<uint8_t, kImageSize> image{};
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i);
  return image;
}

TEST(ImageFormats, Format2CutsEverySequenceToTenBytes) {
  const auto image = numbered();
  const Bytes f2 = imageInFormat(image, 2);
  ASSERT_EQ(f2.size(), 568u);
  EXPECT_TRUE(std::equal(f2.begin(), f2.begin() + 200, image.begin()));  // rows and masks
  for (std::size_t r = 0; r < 32; ++r)
    EXPECT_TRUE(std::equal(f2.begin() + 200 + 10 * r, f2.begin() + 210 + 10 * r, image.begin() + 200 + 20 * r));
  EXPECT_TRUE(std::equal(f2.begin() + 520, f2.begin() + 536, image.begin() + 840));  // switch-on times
  EXPECT_TRUE(std::equal(f2.begin() + 536, f2.begin() + 546, image.begin() + 856));  // manual sequence
  EXPECT_TRUE(std::equal(f2.begin() + 546, f2.end(), image.begin() + 876));          // dead time .. flags
}

TEST(ImageFormats, Format1IsDerivedAndUnknownFormatsAreEmpty) {
  const auto image = numbered();
  const Bytes f1 = imageInFormat(image, 1);
  ASSERT_EQ(f1.size(), 522u);
  const Bytes f2 = imageInFormat(image, 2);
  EXPECT_EQ(f1, Bytes(f2.begin(), f2.begin() + 522));
  EXPECT_TRUE(imageInFormat(image, 0).empty());
  EXPECT_TRUE(imageInFormat(image, 4).empty());
  EXPECT_TRUE(uploadPayload(image, 4, false).empty());
}

// What the tool's own acceptance makes of each upload: the sample's sequences fit in
// ten bytes, so formats 3 and 2 bring back the same image; format 1 empties the
// sequences; a wrong sum byte is refused.
TEST(ImageFormats, TheToolAcceptsWhatTheUnitDelivers) {
  const auto sample = sampleConfig();
  for (const int format : {3, 2, 1}) {
    config::ConfigImage image;
    const Bytes payload = uploadPayload(sample, format, false);
    const auto expected = format == 3 ? config::Acceptance::Current : config::Acceptance::Older;
    EXPECT_EQ(config::acceptImage(image, format, payload), expected) << format;
    if (format != 1) {
      EXPECT_TRUE(std::ranges::equal(image.bytes(), sample)) << format;
    }
    config::ConfigImage untouched;
    EXPECT_EQ(config::acceptImage(untouched, format, uploadPayload(sample, format, true)),
              config::Acceptance::Refused);
  }
}

}  // namespace
}  // namespace trv810::sim
