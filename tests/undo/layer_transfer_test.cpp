#include "undo/layer_transfer.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/rand.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

class LayerTransfer : public test::CanvasTest {
 protected:
  void SetUp() override { make_canvas(300, 7, 16); }  // rows longer than one run
  // Fills a slot with runs of random lengths so rows mix long and short runs.
  void scribble(uint16_t* p, size_t words, int channels) {
    uint16_t v[4] = {};
    for (size_t i = 0; i < words; i += size_t(channels)) {
      if (crt_rand() % 6 == 0)
        for (int c = 0; c < channels; ++c) v[c] = uint16_t(crt_rand() << 1);
      for (int c = 0; c < channels; ++c) p[i + size_t(c)] = uint16_t(v[c] ^ (crt_rand() & 0xFF));
    }
  }
  std::vector<uint16_t> narrowed(const Layer& l) {
    std::vector<uint16_t> v(l.data(), l.data() + size_t(l.width) * l.height * 4);
    for (uint16_t& w : v) w &= 0xFF00;
    return v;
  }
};

// Every slot and the mask leave row by row and come back with their high bytes.
TEST_F(LayerTransfer, EveryLayerAndTheMaskRoundTripThroughRows) {
  crt_srand(3);
  for (int slot = 0; slot < kLayerSlots; ++slot) {
    CVL_CreateLayer(slot, 300, 7);
    Layer& l = e().slot(slot);
    scribble(l.data(), size_t(300) * 7 * 4, 4);
    const std::vector<uint16_t> want = narrowed(l);
    std::vector<std::vector<uint8_t>> rows;
    for (int y = 0; y < 7; ++y) {
      std::vector<uint8_t> row(300 * 5);
      row.resize(size_t(CVL_GetRGBA32LayerLineRLE(row.data(), slot, y)));
      ASSERT_FALSE(row.empty());
      rows.push_back(row);
    }
    scribble(l.data(), size_t(300) * 7 * 4, 4);
    for (int y = 0; y < 7; ++y) {
      const int32_t n = y % 2 ? CVL_PutRGBA32LayerLineRLE(rows[size_t(y)].data(), slot, y)
                              : CVL_PutRGBA32LayerLineRLEBounded(rows[size_t(y)].data(), slot, y,
                                                                 int32_t(rows[size_t(y)].size()));
      ASSERT_EQ(n, 300);
    }
    ASSERT_EQ(narrowed(l), want) << "slot " << slot;
  }

  scribble(e().mask.get(), e().canvas_pixels(), 1);
  std::vector<uint16_t> want(e().mask.get(), e().mask.get() + e().canvas_pixels());
  for (uint16_t& w : want) w &= 0xFF00;
  std::vector<std::vector<uint8_t>> rows;
  for (int y = 0; y < 7; ++y) {
    std::vector<uint8_t> row(600);
    row.resize(size_t(CVL_GetMaskLineRLE(row.data(), y)));
    rows.push_back(row);
  }
  scribble(e().mask.get(), e().canvas_pixels(), 1);
  for (int y = 0; y < 7; ++y)
    ASSERT_EQ(y % 2 ? CVL_PutMaskLineRLE(rows[size_t(y)].data(), y)
                    : CVL_PutMaskLineRLEBounded(rows[size_t(y)].data(), y, int32_t(rows[size_t(y)].size())),
              300);
  EXPECT_EQ(std::vector<uint16_t>(e().mask.get(), e().mask.get() + e().canvas_pixels()), want);
}

TEST_F(LayerTransfer, RowsOfMissingLayersOrOffThePlaneTouchNothing) {
  CVL_CreateLayer(2, 300, 7);
  std::vector<uint8_t> out(16, 0xEE);
  const uint8_t stream[] = {255, 1, 2, 3, 4, 45, 1, 2, 3, 4};
  struct Case {
    int slot, row;
  };
  for (const Case c : {Case{5, 0}, Case{2, 7}, Case{2, -1}, Case{64, 0}, Case{-1, 0}}) {
    EXPECT_EQ(CVL_GetRGBA32LayerLineRLE(out.data(), c.slot, c.row), 0) << c.slot << "," << c.row;
    EXPECT_EQ(CVL_PutRGBA32LayerLineRLE(stream, c.slot, c.row), 0) << c.slot << "," << c.row;
  }
  EXPECT_EQ(CVL_GetMaskLineRLE(out.data(), 7), 0);
  EXPECT_EQ(CVL_PutMaskLineRLE(stream, -1), 0);
  e().mask.reset();
  EXPECT_EQ(CVL_GetMaskLineRLE(out.data(), 0), 0);
  EXPECT_EQ(out, std::vector<uint8_t>(16, 0xEE));
}

// Whole layers go out as one deflated RGBA32 block and come back with the high bytes,
// whatever the compression option. The block is loaded as any RGBA32 image: a pixel of
// alpha 0 comes back fully clear, and a layer's alpha lock holds.
TEST_F(LayerTransfer, CompressedBlocksRoundTripEveryLayer) {
  crt_srand(8);
  const size_t bytes = e().canvas_pixels() * 4;
  std::vector<uint8_t> block(bytes + 1024);
  for (int slot = 0; slot < kLayerSlots; ++slot) {
    CVL_CreateLayer(slot, 300, 7);
    Layer& l = e().slot(slot);
    l.lockAlpha = 0;
    scribble(l.data(), bytes, 4);
    std::vector<uint16_t> want = narrowed(l);
    for (size_t i = 0; i < want.size(); i += 4)
      if (want[i + 3] == 0) want[i] = want[i + 1] = want[i + 2] = 0;
    const int32_t n = CVL_GetRGBA32LayerCompressed(block.data(), 0, int32_t(block.size()), slot, slot % 11 - 1);
    ASSERT_GT(n, 0) << slot;
    scribble(l.data(), bytes, 4);
    ASSERT_GT(CVL_LoadRGBA32LayerCompressed(block.data(), 0, n, slot), 0) << slot;
    // The load leaves every low byte 0.
    ASSERT_EQ(std::vector<uint16_t>(l.data(), l.data() + bytes), want) << "slot " << slot;
  }
  Layer& locked = e().slot(1);
  locked.lockAlpha = 1;
  const int32_t n = CVL_GetRGBA32LayerCompressed(block.data(), 0, int32_t(block.size()), 1, 6);
  for (size_t i = 3; i < bytes; i += 4) locked.data()[i] = 0x1234;
  ASSERT_GT(CVL_LoadRGBA32LayerCompressed(block.data(), 0, n, 1), 0);
  for (size_t i = 3; i < bytes; i += 4) ASSERT_EQ(locked.data()[i], 0x1234) << i;
}

TEST_F(LayerTransfer, DamagedOrTooSmallBlocksLeaveTheLayer) {
  CVL_CreateLayer(2, 300, 7);
  Layer& l = e().slot(2);
  crt_srand(2);
  scribble(l.data(), e().canvas_pixels() * 4, 4);
  std::vector<uint8_t> block(e().canvas_pixels() * 4 + 1024);
  const int32_t n = CVL_GetRGBA32LayerCompressed(block.data(), 0, int32_t(block.size()), 2, 6);
  ASSERT_GT(n, 0);
  std::vector<uint8_t> small(16);
  EXPECT_EQ(CVL_GetRGBA32LayerCompressed(small.data(), 0, 16, 2, 6), 0) << "output too small";
  EXPECT_EQ(CVL_GetRGBA32LayerCompressed(small.data(), 0, 16, 9, 6), 0) << "empty slot";
  const std::vector<uint16_t> before(l.data(), l.data() + e().canvas_pixels() * 4);
  std::vector<uint8_t> damaged(block.begin(), block.begin() + n);
  damaged[damaged.size() / 2] ^= 0x5A;
  EXPECT_EQ(CVL_LoadRGBA32LayerCompressed(block.data(), 0, n / 2, 2), 0) << "cut block";
  EXPECT_EQ(CVL_LoadRGBA32LayerCompressed(damaged.data(), 0, n, 2), 0) << "damaged block";
  CVL_CreateLayer(3, 20, 7);
  EXPECT_GT(CVL_LoadRGBA32LayerCompressed(block.data(), 0, n, 3), 0) << "a larger block fills the smaller layer";
  EXPECT_EQ(std::vector<uint16_t>(l.data(), l.data() + e().canvas_pixels() * 4), before);
}

}  // namespace
}  // namespace cvl
