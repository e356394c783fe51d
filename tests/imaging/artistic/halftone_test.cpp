#include "imaging/artistic/halftone.h"

#include <gtest/gtest.h>

#include "imaging/test_pictures.h"

namespace cvl::imaging {
namespace {

int inked(const test::Picture& p, int c) {
  int n = 0;
  for (size_t i = size_t(c); i < p.px.size(); i += 3) n += p.px[i] == 0;
  return n;
}

TEST(Halftone, DotsCoverTheDarknessOfEachCellFromItsCentre) {
  const struct {
    uint8_t grey;
    int ink_per_cell;  // of 16
  } cases[] = {{255, 0}, {0, 16}, {128, 8}, {192, 4}};
  for (const auto& c : cases) {
    test::Picture p = test::flat(8, 8, 3, c.grey);  // four 4 x 4 cells
    ASSERT_TRUE(halftone_image(p.view(), 4, false));
    EXPECT_EQ(inked(p, 0), 4 * c.ink_per_cell) << int(c.grey);
    for (const uint8_t v : p.px) ASSERT_TRUE(v == 0 || v == 255);
    if (c.ink_per_cell == 4) {  // the smallest dot sits in the middle of its cell
      EXPECT_EQ(p.at(1, 1)[0], 0);
      EXPECT_EQ(p.at(2, 2)[0], 0);
      EXPECT_EQ(p.at(0, 0)[0], 255);
    }
  }
}

TEST(Halftone, ColourScreensEachChannelOnItsOwn) {
  test::Picture p = test::flat(8, 8, 3, 0);
  for (size_t i = 0; i < p.px.size(); i += 3) p.px[i] = 255, p.px[i + 1] = 128, p.px[i + 2] = 0;
  test::Picture grey = p;
  ASSERT_TRUE(halftone_image(p.view(), 4, true));
  EXPECT_EQ(inked(p, 0), 0);
  EXPECT_EQ(inked(p, 1), 32);
  EXPECT_EQ(inked(p, 2), 64);
  ASSERT_TRUE(halftone_image(grey.view(), 4, false));
  EXPECT_EQ(inked(grey, 0), inked(grey, 2));  // one dot for all three
}

}  // namespace
}  // namespace cvl::imaging
