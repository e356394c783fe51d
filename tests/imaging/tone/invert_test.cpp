#include "imaging/tone/invert.h"

#include <gtest/gtest.h>

#include <vector>

namespace cvl::imaging {
namespace {

TEST(Invert, TwiceIsIdentityAndOnlySelectedChannelsFlip) {
  for (int32_t ch : {1, 3, 4}) {
    std::vector<uint8_t> px(size_t(7) * 5 * ch);
    for (size_t i = 0; i < px.size(); ++i) px[i] = uint8_t(i * 37);
    const std::vector<uint8_t> original = px;
    const ImageView v{px.data(), 7, 5, ch, 7 * ch};
    ASSERT_TRUE(invert_image(v, 0b0101));
    for (size_t i = 0; i < px.size(); ++i) {
      const bool selected = (0b0101 >> (i % size_t(ch))) & 1;
      ASSERT_EQ(px[i], selected ? uint8_t(255 - original[i]) : original[i]) << ch << " channels, byte " << i;
    }
    ASSERT_TRUE(invert_image(v, 0b0101));
    EXPECT_EQ(px, original);
  }
}

}  // namespace
}  // namespace cvl::imaging
