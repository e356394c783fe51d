#include "io/new_rgba.h"

#include <array>
#include <cstring>
#include <vector>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

class NewRgbaTest : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(4, 3, 8);
    CVL_DeleteNewRGBA();
  }
  // A new-RGBA image whose pixel i is (i, 2i, 3i, alpha(i)).
  void fill(int w, int h, uint8_t (*alpha)(int) = [](int) -> uint8_t { return 255; }) {
    uint8_t* p = create_new_rgba(w, h);
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < w * h; ++i, p += 4) p[0] = uint8_t(i), p[1] = uint8_t(2 * i), p[2] = uint8_t(3 * i), p[3] = alpha(i);
  }
};

TEST_F(NewRgbaTest, DeletingKeepsTheSizeAndLeavesNothingToCopyOrTest) {
  fill(3, 2, [](int i) -> uint8_t { return i == 4 ? 254 : 255; });
  EXPECT_EQ(CVL_IsNewRGBA32Transparent(), 1);
  CVL_DeleteNewRGBA();
  EXPECT_EQ(CVL_GetNewRGBAWidth(), 3);
  EXPECT_EQ(CVL_GetNewRGBAHeight(), 2);
  EXPECT_EQ(CVL_IsNewRGBA32Transparent(), 0);
  std::vector<uint8_t> dst(24, 0xAB);
  CVL_GetNewRGBA32(dst.data());
  CVL_GetNewRGBA24(dst.data());
  CVL_GetResizedNewRGBA24(dst.data(), 2, 2);
  EXPECT_EQ(dst, std::vector<uint8_t>(24, 0xAB));
}

TEST_F(NewRgbaTest, AnImageThatCannotBeAllocatedRecordsTheFailureAndKeepsItsSize) {
  fill(2, 2);
  CVL_SetLastError("");
  EXPECT_EQ(create_new_rgba(-1, 5), nullptr);
  EXPECT_STREQ(CVL_GetLastError(), "CreateNewRGBA Excpt");
  EXPECT_EQ(CVL_GetNewRGBAWidth(), -1);
  EXPECT_EQ(CVL_GetNewRGBAHeight(), 5);
  EXPECT_EQ(CVL_IsNewRGBA32Transparent(), 0);
}

TEST_F(NewRgbaTest, CopiesOutWithAndWithoutAlpha) {
  fill(3, 2, [](int i) -> uint8_t { return uint8_t(200 + i); });
  std::vector<uint8_t> rgba(24), rgb(18);
  CVL_GetNewRGBA32(rgba.data());
  CVL_GetNewRGBA24(rgb.data());
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(rgba[i * 4 + 3], 200 + i);
    for (int c = 0; c < 3; ++c) {
      EXPECT_EQ(rgba[i * 4 + c], (c + 1) * i);
      EXPECT_EQ(rgb[i * 3 + c], (c + 1) * i);
    }
  }
}

TEST_F(NewRgbaTest, TransparencyMeansAnyAlphaBelowOpaque) {
  fill(4, 4);
  EXPECT_EQ(CVL_IsNewRGBA32Transparent(), 0);
  fill(4, 4, [](int i) -> uint8_t { return i == 15 ? 0 : 255; });  // only the last pixel
  EXPECT_EQ(CVL_IsNewRGBA32Transparent(), 1);
}

TEST_F(NewRgbaTest, ResizedCopyAveragesWhenShrinkingBothWaysAndResamplesOtherwise) {
  // A 4 x 2 image of two flat halves: (10, 20, 30) left, (50, 60, 70) right.
  uint8_t* p = create_new_rgba(4, 2);
  for (int i = 0; i < 8; ++i) {
    const uint8_t base = (i % 4) < 2 ? 10 : 50;
    p[i * 4] = base, p[i * 4 + 1] = uint8_t(base + 10), p[i * 4 + 2] = uint8_t(base + 20), p[i * 4 + 3] = 0;
  }
  std::vector<uint8_t> one(3);
  CVL_GetResizedNewRGBA24(one.data(), 1, 1);  // averages all eight
  EXPECT_EQ(one, (std::vector<uint8_t>{30, 40, 50}));

  std::vector<uint8_t> same(4 * 2 * 3);
  CVL_GetResizedNewRGBA24(same.data(), 4, 2);  // the same size copies the colour
  for (int i = 0; i < 8; ++i) EXPECT_EQ(same[i * 3], (i % 4) < 2 ? 10 : 50);

  std::vector<uint8_t> wide(8 * 1 * 3);  // grows across while shrinking down: resampled
  CVL_GetResizedNewRGBA24(wide.data(), 8, 1);
  EXPECT_EQ(wide[0], 10);
  EXPECT_EQ(wide[7 * 3], 50);
  for (int x = 1; x < 8; ++x) EXPECT_GE(wide[x * 3], wide[(x - 1) * 3]);
}

TEST_F(NewRgbaTest, LoadingIntoTheCurrentLayerWidensAndHonoursTheMask) {
  test::give_slot_pixels(2, 1000, 2000, 3000, 65535);
  engine().slot(2).lockAlpha = 0;
  CVL_SetLayer(2);
  fill(4, 3, [](int i) -> uint8_t { return i == 1 ? 0 : 255; });
  EXPECT_EQ(CVL_SetInNewRGBA(), 3);
  const uint16_t* px = engine().slot(2).data();
  EXPECT_EQ((std::array<uint16_t, 4>{px[0], px[1], px[2], px[3]}), (std::array<uint16_t, 4>{0, 0, 0, 65280}));
  // The canvas starts with an open mask, so the loader weighs (fully) and keeps a transparent pixel's colour.
  EXPECT_EQ((std::array<uint16_t, 4>{px[4], px[5], px[6], px[7]}), (std::array<uint16_t, 4>{256, 512, 768, 0}));
  EXPECT_EQ(px[5 * 4 + 2], 15 * 256);

  // Through a closed mask nothing changes.
  test::give_slot_pixels(2, 1000, 2000, 3000, 65535);
  std::memset(engine().mask.get(), 0, engine().canvas_pixels() * 2);
  CVL_EnableMask(1);
  CVL_SetInNewRGBA();
  EXPECT_EQ(engine().slot(2).data()[5 * 4 + 2], 3000);
  CVL_EnableMask(0);
}

}  // namespace
}  // namespace cvl
