#include "layers/texture_map.h"

#include <gtest/gtest.h>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using test::CanvasTest;

TEST_F(CanvasTest, TextureMapIsTheMeanChannelClampedTo4Through250) {
  struct Case {
    uint16_t r, g, b;
    uint8_t want;
  };
  const Case cases[] = {{65535, 65535, 65535, 250}, {0, 0, 0, 4}, {32768, 32768, 32768, 128},
                        {65535, 0, 0, 85}, {1000, 1000, 1000, 4}};
  for (const Case& c : cases) {
    test::give_slot_pixels(4, c.r, c.g, c.b, 65535);
    const uint8_t* map = CVL_CreateTexture(4);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map, e().texture_map.get());
    EXPECT_EQ(map[0], c.want);
    EXPECT_EQ(map[16 * 12 - 1], c.want);
  }
  CVL_DeleteTexture();
  EXPECT_FALSE(e().texture_map);
  EXPECT_EQ(CVL_CreateTexture(40), nullptr);  // a slot without pixels
}

}  // namespace
}  // namespace cvl
