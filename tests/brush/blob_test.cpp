#include "brush/blob.h"

#include <gtest/gtest.h>

#include <array>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using Pixel = std::array<uint16_t, 4>;

class BlobTest : public test::CanvasTest {
 protected:
  Pixel blob_of(const Pixel& in, int mode) {
    test::give_slot_pixels(3, in[0], in[1], in[2], in[3]);
    EXPECT_EQ(CVL_CreateBlobFromImage(3, mode), 12);  // canvas rows
    const uint16_t* p = e().slot(3).data() + (5 * 16 + 7) * 4;
    return {p[0], p[1], p[2], p[3]};
  }
};

TEST_F(BlobTest, FlatModeMakesMidGreyAndAlphaFollowsBrightness) {
  struct Case {
    Pixel in, want;
  };
  const Case cases[] = {
      {{65535, 65535, 65535, 65535}, {32767, 32767, 32767, 65485}},  // trunc(65535 * 0.843 + 10239)
      {{0, 0, 0, 65535}, {32767, 32767, 32767, 10239}},
      {{3000, 6000, 9000, 8192}, {32767, 32767, 32767, 15297}},      // l = 6000
      {{3000, 6000, 9000, 8191}, {32767, 32767, 32767, 8191}},       // low alphas stay
      {{65535, 0, 0, 0}, {32767, 32767, 32767, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(blob_of(c.in, 0), c.want);
  EXPECT_EQ(blob_of({1, 2, 3, 4}, 7), (Pixel{32767, 32767, 32767, 4}));
}

TEST_F(BlobTest, ReliefModePullsChannelsTowardMidGrey) {
  struct Case {
    Pixel in, want;
  };
  const Case cases[] = {
      {{65535, 65535, 65535, 100}, {32766, 32766, 32766, 100}},  // t = 32768 / 65534
      {{0, 0, 0, 100}, {32767, 32767, 32767, 100}},              // t = 1/2 of the way up
      {{32767, 32767, 32767, 100}, {32767, 32767, 32767, 100}},  // mid-grey stays
      {{65535, 0, 32768, 100}, {65535, 0, 32768, 100}},          // l = 32767: t = 0
      {{65535, 65535, 0, 100}, {54611, 54611, 0, 100}},          // l = 43690: t = 10923 / 65534
  };
  for (const Case& c : cases) EXPECT_EQ(blob_of(c.in, 1), c.want);
}

TEST_F(BlobTest, EmptySlotIsLeftAlone) { EXPECT_EQ(CVL_CreateBlobFromImage(9, 1), 0); }

}  // namespace
}  // namespace cvl
