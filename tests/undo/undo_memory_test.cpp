#include <gtest/gtest.h>

#include <vector>

#include "undo/history_snapshot.h"
#include "undo/undo_records.h"
#include "undo/undo_store.h"

namespace cvl {
namespace {

class UndoMemory : public test::HistoryTest {
 protected:
  void SetUp() override { start(64, 48, 500); }
  // What the history should hold: the under-layer buffer plus every record's charge.
  int32_t held_kib() {
    int32_t kib = charge_kib(static_cast<int64_t>(e().canvas_pixels()), 10);
    for (const UndoRecord& r : undo_store().records) kib += record_charge(r);
    return kib;
  }
  void step(const test::EditRect& r, bool layer, bool mask) {
    if (layer) test::scribble(e().current_layer->data(), 4, r);
    if (mask) test::scribble(e().mask.get(), 1, r);
    CVL_SaveUndoBuffer(layer, mask);
  }
};

// Under a small limit the oldest steps go first, memory stays under the limit after
// every save, and the steps that remain still undo exactly.
TEST_F(UndoMemory, SmallLimitDropsOldestStepsAndKeepsNewestExact) {
  CVL_SetUndoMB(1);
  ASSERT_EQ(undo_limit(), 1024);
  crt_srand(11);
  std::vector<test::CanvasState> after{test::CanvasState::take()};
  constexpr int kSteps = 300;
  for (int i = 0; i < kSteps; ++i) {
    step(test::random_rect(60, 45), true, test::rand_below(2) == 0);
    ASSERT_LT(e().undo_memory, undo_limit()) << "step " << i;
    ASSERT_EQ(e().undo_memory, held_kib()) << "step " << i;
    after.push_back(test::CanvasState::take());
  }
  const int kept = CVL_GetUndoCount();
  ASSERT_GT(kept, 10);
  ASSERT_LT(kept, kSteps);
  // The kept records are the newest ones, packed at the front.
  for (int n = 0; n < kUndoRecords; ++n) EXPECT_EQ(undo_store().records[n].holds_data(), n < kept) << n;
  for (int done = 1; done <= kept; ++done) {
    CVL_Undo();
    ASSERT_TRUE(test::CanvasState::take() == after[kSteps - done]) << "undo " << done;
  }
  EXPECT_EQ(CVL_CanUndo(), 0);
}

TEST_F(UndoMemory, OneStepLargerThanTheLimitIsStillKept) {
  CVL_SetUndoMB(1);
  make_canvas(400, 300, 8);  // the under-layer alone is 1171 KiB
  CVL_CreateLayer(2, 400, 300);
  CVL_SetLayer(2);
  step({0, 0, 100, 100}, true, false);
  step({0, 0, 100, 100}, true, false);
  EXPECT_EQ(CVL_GetUndoCount(), 1);
  EXPECT_EQ(e().undo_memory, held_kib());
}

TEST_F(UndoMemory, LimitsFollowTheHostOrFreeMemory) {
  CVL_SetUndoMB(3);
  EXPECT_EQ(undo_limit(), 3072);
  EXPECT_EQ(CVL_GetTotalUndoMemory(), 3);
  make_canvas(1000, 1000, 8);
  CVL_SetUndoMB(0);
  EXPECT_GE(undo_limit(), 15 * 976);
  EXPECT_EQ(CVL_GetTotalUndoMemory(), undo_limit() / 1024);
  EXPECT_EQ(CVL_GetCurrentUndoMemory(), 1000 * 1000 * 10 / 1024 / 1024);
  CVL_SetUndoMB(4);  // a fixed limit is not re-derived by a recount
  EXPECT_EQ(CVL_GetTotalUndoMemory(), 4);
}

TEST_F(UndoMemory, ClearingReturnsToTheUnderLayerCharge) {
  for (int i = 0; i < 5; ++i) step({i, i, i + 20, i + 20}, true, true);
  EXPECT_GT(e().undo_memory, 64 * 48 * 10 / 1024);
  CVL_ClearUndo();
  EXPECT_EQ(e().undo_memory, 64 * 48 * 10 / 1024);
  EXPECT_EQ(CVL_GetUndoCount(), 0);
  step({0, 0, 5, 5}, true, false);
  CVL_SetUndoLevels(30);
  EXPECT_EQ(CVL_GetUndoCount(), 0);
}

TEST_F(UndoMemory, ReduceFreesOldestPixelRecordsAndPassesOverMaskOnlyOnes) {
  step({0, 0, 31, 31}, true, false);   // oldest: 8 KiB of pixels
  step({0, 0, 31, 31}, false, true);   // mask only
  step({0, 0, 31, 31}, true, true);
  step({0, 0, 31, 31}, true, false);   // newest
  CVL_Undo();

  CVL_ReduceUndo(0);  // only the abandoned redo record goes
  EXPECT_EQ(CVL_GetRedoCount(), 0);
  EXPECT_EQ(CVL_GetUndoCount(), 3);
  EXPECT_EQ(e().undo_memory, held_kib());

  CVL_ReduceUndo(1);  // the oldest pixel record
  EXPECT_FALSE(undo_store().records[2].holds_data());
  EXPECT_TRUE(undo_store().records[1].mask_pixels);
  EXPECT_EQ(e().undo_memory, held_kib());

  CVL_ReduceUndo(1000);  // every pixel record; the mask-only one stays
  EXPECT_EQ(CVL_GetUndoCount(), 1);
  EXPECT_TRUE(undo_store().records[1].mask_pixels);
  EXPECT_EQ(reduce_undo(e(), 1000), 0);
  EXPECT_EQ(e().undo_memory, held_kib());
}

}  // namespace
}  // namespace cvl
