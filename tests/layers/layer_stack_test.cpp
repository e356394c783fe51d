#include "layers/layer_stack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "support/canvas_fixture.h"
#include "undo/history_snapshot.h"
#include "undo/stroke_rect.h"
#include "undo/undo_records.h"
#include "undo/undo_store.h"

namespace cvl {
namespace {

using LayerStack = test::CanvasTest;

bool all_words_are(const Layer& layer, uint16_t v) {
  const uint16_t* p = layer.data();
  return std::all_of(p, p + layer.pixels.size(), [v](uint16_t w) { return w == v; });
}

TEST_F(LayerStack, CreatedLayersAreClearedWhiteOnlyInTheBackgroundSlot) {
  struct Case {
    int slot;
    uint16_t word;
  } cases[] = {{0, 0}, {1, 65535}, {2, 0}, {63, 0}};
  for (const Case& c : cases) {
    ASSERT_EQ(CVL_CreateLayer(c.slot, 16, 12), 1);
    EXPECT_TRUE(all_words_are(e().slot(c.slot), c.word)) << c.slot;
    EXPECT_EQ(e().slot(c.slot).row_stride, 64);
  }
  EXPECT_EQ(CVL_CreateLayer(64, 16, 12), 0);
  EXPECT_EQ(CVL_CreateLayer(-1, 16, 12), 0);
  EXPECT_EQ(CVL_GetLayerCount(), 4);  // trace and background count too
}

TEST_F(LayerStack, RecreatingAtTheSameSizeClearsInPlace) {
  CVL_CreateLayer(2, 16, 12);
  uint16_t* before = e().slot(2).data();
  before[5] = 9;
  CVL_CreateLayer(2, 16, 12);
  EXPECT_EQ(e().slot(2).data(), before);
  EXPECT_EQ(before[5], 0);
  CVL_CreateLayer(2, 8, 4);
  EXPECT_EQ(e().slot(2).pixels.size(), 8u * 4 * 4);
  CVL_DeleteLayer(2);
  EXPECT_FALSE(e().slot(2).has_pixels());
  EXPECT_EQ(e().slot(2).width, 8);  // other fields stay
}

TEST_F(LayerStack, OptionsScaleOpacityAndLookUpTheModeByName) {
  CVL_CreateLayer(2, 16, 12);
  const std::string name49(49, 'x'), name50(50, 'x');
  struct Case {
    int opacity;
    const char* name;
    uint16_t want_opacity;
    int want_mode;
    const char* want_name;
  } cases[] = {
      {50, "Multiply", 128, 1, "Multiply"},  {100, "Texturize3", 256, 19, "Texturize3"},
      {33, "Screen", 84, 2, "Screen"},       {1, "multiply", 2, 0, "multiply"},
      {0, nullptr, 0, 0, ""},                {100, name49.c_str(), 256, 0, name49.c_str()},
      {100, name50.c_str(), 256, 0, ""},
  };
  for (const Case& c : cases) {
    CVL_SetLayerOptions(2, 0x101, 0x201, c.opacity, c.name);
    const Layer& layer = e().slot(2);
    EXPECT_EQ(layer.opacity, c.want_opacity) << c.opacity;
    EXPECT_EQ(layer.mixMode, c.want_mode) << (c.name ? c.name : "null");
    EXPECT_STREQ(layer.mode_name, c.want_name);
    EXPECT_EQ(layer.visible, 1);
    EXPECT_EQ(layer.lockAlpha, 1);
  }
}

TEST_F(LayerStack, TopLayerIsTheHighestSlotWithPixelsAfterOptions) {
  CVL_SetLayerOptions(2, 1, 0, 100, "Normal");
  EXPECT_EQ(e().top_layer, 1);
  CVL_CreateLayer(0, 16, 12);
  CVL_CreateLayer(2, 16, 12);
  CVL_CreateLayer(7, 16, 12);
  CVL_SetLayerOptions(2, 1, 0, 100, "Normal");
  EXPECT_EQ(e().top_layer, 7);
  CVL_DeleteLayer(7);
  EXPECT_EQ(e().top_layer, 7);  // only the options call recomputes it
  CVL_SetLayerOptions(2, 1, 0, 100, "Normal");
  EXPECT_EQ(e().top_layer, 2);
}

TEST_F(LayerStack, SwappedSlotsKeepTheCurrentNumber) {
  test::give_slot_pixels(2, 1, 1, 1, 1);
  test::give_slot_pixels(3, 9, 9, 9, 9);
  CVL_SetLayerOptions(3, 1, 0, 50, "Screen");
  CVL_SetLayer(2);
  CVL_SwapLayers(2, 3);
  EXPECT_EQ(CVL_GetLayerNum(), 2);
  EXPECT_EQ(e().current_layer->data()[0], 9);
  EXPECT_EQ(e().slot(2).mixMode, 2);
  EXPECT_EQ(e().slot(3).data()[0], 1);
}

TEST_F(LayerStack, ChoosingALayerRefreshesTheUnderLayerAndSkipsEmptySlots) {
  test::give_slot_pixels(2, 100, 200, 300, 400);
  CVL_SetLayer(2);
  EXPECT_EQ(e().under_layer.pixels[2], 300);
  CVL_SetLayer(5);
  EXPECT_EQ(CVL_GetLayerNum(), 2);
  EXPECT_EQ(e().current_layer, &e().slot(2));
}

TEST_F(LayerStack, Texturize3LayersDropAndRebuildTheTextureMap) {
  test::give_slot_pixels(2, 0, 0, 0, 65535);
  test::give_slot_pixels(3, 65535, 65535, 65535, 65535);
  CVL_SetLayer(2);
  CVL_SetLayerOptions(3, 1, 0, 100, "Texturize3");  // visible, not current: built from slot 3
  ASSERT_TRUE(e().texture_map);
  EXPECT_EQ(e().texture_map[0], 250);
  CVL_SetLayer(3);  // entering it drops the map
  EXPECT_FALSE(e().texture_map);
  CVL_SetLayer(2);  // leaving it rebuilds the map
  EXPECT_TRUE(e().texture_map);
  CVL_SetLayerOptions(3, 0, 0, 100, "Normal");
  EXPECT_FALSE(e().texture_map);
}

TEST_F(LayerStack, AlphaOperationsCoverTheLayersOwnSize) {
  CVL_CreateLayer(2, 5, 3);  // smaller than the canvas
  Layer& layer = e().slot(2);
  struct Case {
    void (*op)();
    uint16_t before, after;
  } cases[] = {
      {[] { CVL_InvertAlpha(2); }, 1000, 64535},
      {[] { CVL_SetLayerAlpha(2, 0x12345); }, 7, 0x2345},
      {[] { CVL_NormalizeLayerAlpha(2); }, 65535, 65535},  // opacity 256
      {[] {
         engine().slot(2).opacity = 128;
         CVL_NormalizeLayerAlpha(2);
       },
       65535, 32767},
  };
  for (const Case& c : cases) {
    layer.opacity = 256;
    for (size_t i = 0; i < layer.pixels.size(); ++i) layer.pixels[i] = (i % 4 == 3) ? c.before : 5;
    c.op();
    for (size_t i = 0; i < layer.pixels.size(); ++i) ASSERT_EQ(layer.pixels[i], (i % 4 == 3) ? c.after : 5) << i;
    EXPECT_EQ(layer.opacity, 256);
  }
}

// Memory pressure while creating a layer releases undo history, oldest first.
class LayerAllocationFailure : public test::HistoryTest {
 protected:
  void SetUp() override { start(64, 64, 50); }
  void TearDown() override {
    fail_next_layer_allocations(0);
    test::HistoryTest::TearDown();
  }
  void save(int value, bool layer, bool mask) {
    e().current_layer->data()[0] = static_cast<uint16_t>(value);
    e().mask[0] = static_cast<uint16_t>(value);
    CVL_SaveUndoBuffer(layer, mask);  // empty stroke rectangle: the whole canvas
  }
};

TEST_F(LayerAllocationFailure, ReleasesOldestStepsUntilTheLayerFits) {
  for (int v = 1; v <= 4; ++v) save(v, true, false);
  fail_next_layer_allocations(2);
  EXPECT_EQ(CVL_CreateLayer(3, 64, 64), 1);
  EXPECT_EQ(CVL_GetUndoCount(), 2);
  CVL_Undo();  // the newest steps are still there
  EXPECT_EQ(e().slot(2).data()[0], 3);
  CVL_Undo();
  EXPECT_EQ(e().slot(2).data()[0], 2);
  EXPECT_EQ(CVL_CanUndo(), 0);
}

TEST_F(LayerAllocationFailure, FailsOnceNothingMoreCanBeReleased) {
  struct Case {
    const char* what;
    bool newest_mask_only;
    int records_left;
  } cases[] = {{"pixel records", false, 0}, {"mask-only newest record", true, 1}};
  for (const Case& c : cases) {
    CVL_ClearUndo();
    save(1, true, false);
    save(2, true, true);
    save(3, !c.newest_mask_only, true);
    fail_next_layer_allocations(1000);
    EXPECT_EQ(CVL_CreateLayer(3, 32, 16), 0) << c.what;
    EXPECT_EQ(CVL_GetUndoCount(), c.records_left) << c.what;
    EXPECT_FALSE(e().slot(3).has_pixels());
    EXPECT_EQ(e().slot(3).width, 32);  // the new size is recorded
    EXPECT_EQ(e().slot(3).height, 16);
    fail_next_layer_allocations(0);
  }
  fail_next_layer_allocations(1);
  CVL_ClearUndo();
  EXPECT_EQ(CVL_CreateLayer(4, 1, 1), 0);  // no history at all
}

}  // namespace
}  // namespace cvl
