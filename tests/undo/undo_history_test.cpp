#include "undo/undo_store.h"

#include <gtest/gtest.h>

#include <vector>

#include "undo/history_snapshot.h"
#include "undo/undo_records.h"

namespace cvl {
namespace {

class History : public test::HistoryTest {
 protected:
  void SetUp() override {
    start(40, 30, 500);
    for (int slot : {1, 3, 4}) CVL_CreateLayer(slot, 40, 30);
  }
  uint16_t* current() { return e().current_layer->data(); }
  // One painted step on the current layer: the rectangle gets `value` everywhere.
  void paint_step(uint16_t value, int32_t l, int32_t t, int32_t r, int32_t b) {
    for (int32_t y = t; y <= b; ++y)
      for (int32_t x = l * 4; x < (r + 1) * 4; ++x) current()[y * 160 + x] = value;
    widen_stroke_rect(l, t, r, b);
    CVL_SaveUndoBuffer(1, 0);
  }
};

// Random edits of layers and the mask, each saved; then every undo and redo must
// land exactly on the state recorded after the matching step.
TEST_F(History, UndoAndRedoWalkEveryRandomStepExactly) {
  crt_srand(7);
  std::vector<test::CanvasState> after{test::CanvasState::take()};
  constexpr int kSteps = 150;
  for (int step = 0; step < kSteps; ++step) {
    if (test::rand_below(3) == 0) CVL_SetLayer(1 + test::rand_below(4));
    const int kind = test::rand_below(3);  // 0 layer, 1 mask, 2 both
    const test::EditRect r = test::random_rect();
    if (kind != 1) test::scribble(current(), 4, r);
    if (kind != 0) test::scribble(e().mask.get(), 1, r);
    CVL_SaveUndoBuffer(kind != 1, kind != 0);
    after.push_back(test::CanvasState::take());
  }
  ASSERT_EQ(CVL_GetUndoCount(), kSteps);

  for (int done = 1; done <= kSteps; ++done) {
    CVL_Undo();
    ASSERT_TRUE(test::CanvasState::take() == after[kSteps - done]) << "undo " << done;
  }
  EXPECT_EQ(CVL_CanUndo(), 0);
  EXPECT_EQ(CVL_GetRedoCount(), kSteps);
  for (int done = 1; done <= kSteps; ++done) {
    CVL_Redo();
    ASSERT_TRUE(test::CanvasState::take() == after[done]) << "redo " << done;
  }
  EXPECT_EQ(CVL_CanRedo(), 0);

  // A new step after three undos replaces the three undone steps.
  for (int i = 0; i < 3; ++i) CVL_Undo();
  test::scribble(current(), 4, {1, 1, 6, 6});
  CVL_SaveUndoBuffer(1, 0);
  EXPECT_EQ(CVL_CanRedo(), 0);
  EXPECT_EQ(CVL_GetRedoCount(), 0);
  EXPECT_EQ(CVL_GetUndoCount(), kSteps - 2);
  const test::CanvasState newest = test::CanvasState::take();
  CVL_Undo();
  EXPECT_TRUE(test::CanvasState::take() == after[kSteps - 3]);
  CVL_Undo();
  EXPECT_TRUE(test::CanvasState::take() == after[kSteps - 4]);
  CVL_Redo();
  CVL_Redo();
  EXPECT_TRUE(test::CanvasState::take() == newest);
}

TEST_F(History, RedoneRecordHoldsTheBeforeStateAgain) {
  paint_step(500, 2, 3, 9, 8);
  const UndoRecord& record = undo_store().records[0];
  ASSERT_TRUE(record.pixels);
  EXPECT_EQ(record.pixels[0], 0);
  CVL_Undo();
  EXPECT_EQ(current()[3 * 160 + 8], 0);
  EXPECT_EQ(record.pixels[0], 500);  // now holds the state being left
  CVL_Redo();
  EXPECT_EQ(current()[3 * 160 + 8], 500);
  EXPECT_EQ(record.pixels[0], 0);
  EXPECT_EQ(e().under_layer.pixels[3 * 160 + 8], 500);
}

TEST_F(History, StrokeRectangleIsClampedAndDegenerateOnesSaveTheWholeCanvas) {
  struct Case {
    StrokeRect stroke;
    StrokeRect saved;
  } cases[] = {
      {{5, 5, 5, 9}, {0, 0, 39, 29}},          // one column wide
      {{2, 7, 30, 7}, {0, 0, 39, 29}},         // one row high
      {{39, 29, 0, 0}, {0, 0, 39, 29}},        // empty: nothing painted
      {{-10, -10, 100, 100}, {0, 0, 39, 29}},  // clamped into the canvas
      {{-3, 4, 10, 12}, {0, 4, 10, 12}},
  };
  for (const Case& c : cases) {
    stroke_rect() = c.stroke;
    CVL_SaveUndoBuffer(1, 1);
    const UndoRecord& record = undo_store().records[0];
    EXPECT_EQ(record.left, c.saved.left) << c.stroke.left;
    EXPECT_EQ(record.top, c.saved.top) << c.stroke.left;
    EXPECT_EQ(record.right, c.saved.right) << c.stroke.left;
    EXPECT_EQ(record.bottom, c.saved.bottom) << c.stroke.left;
    EXPECT_EQ(stroke_rect().left, 39);  // the save leaves it empty
    EXPECT_EQ(stroke_rect().top, 29);
    EXPECT_EQ(stroke_rect().right, 0);
    EXPECT_EQ(stroke_rect().bottom, 0);
  }
}

TEST_F(History, UndoingAnotherLayersStepMakesThatLayerCurrent) {
  CVL_SetLayer(3);
  paint_step(77, 0, 0, 4, 4);
  CVL_SetLayer(2);
  CVL_Undo();
  EXPECT_EQ(CVL_GetLayerNum(), 3);
  EXPECT_EQ(e().slot(3).data()[0], 0);
  // The under-layer now mirrors slot 3 as it stands.
  EXPECT_EQ(e().under_layer.pixels[0], 0);
  CVL_Redo();
  EXPECT_EQ(e().slot(3).data()[0], 77);
}

TEST_F(History, NoLevelsRecordNothingButKeepTheUnderLayerCurrent) {
  CVL_SetUndoLevels(0);
  paint_step(9, 1, 1, 5, 5);
  EXPECT_EQ(CVL_GetUndoCount(), 0);
  EXPECT_EQ(CVL_CanUndo(), 0);
  CVL_Undo();
  EXPECT_EQ(current()[1 * 160 + 4], 9);
  EXPECT_EQ(e().under_layer.pixels[1 * 160 + 4], 9);
}

TEST_F(History, PauseSuspendsSavesUndosRedosAndRefreshes) {
  paint_step(5, 0, 0, 3, 3);
  CVL_PauseUndo();
  paint_step(6, 0, 0, 3, 3);
  EXPECT_EQ(CVL_GetUndoCount(), 1);
  CVL_Undo();
  EXPECT_EQ(current()[0], 6);
  CVL_SaveUndoBackBuffer(2);
  EXPECT_EQ(e().under_layer.pixels[0], 5);
  CVL_ResumeUndo();
  CVL_Undo();
  EXPECT_EQ(current()[0], 0);
  CVL_PauseUndo();
  CVL_ClearUndo();  // also ends the pause
  EXPECT_EQ(CVL_GetUndoCount(), 0);
  paint_step(8, 0, 0, 3, 3);
  EXPECT_EQ(CVL_GetUndoCount(), 1);
}

TEST_F(History, StepOfADeletedOrShrunkLayerLeavesOtherLayersAlone) {
  CVL_SetLayer(3);
  paint_step(77, 20, 10, 30, 20);
  CVL_SetLayer(2);
  CVL_DeleteLayer(3);
  const test::CanvasState before = test::CanvasState::take();
  CVL_Undo();
  EXPECT_EQ(CVL_GetLayerNum(), 2);
  EXPECT_TRUE(test::CanvasState::take() == before);
  CVL_Redo();
  CVL_CreateLayer(3, 10, 10);  // too small for the recorded rectangle
  CVL_Undo();
  EXPECT_EQ(e().slot(3).data()[0], 0);
}

TEST_F(History, SavesOnALayerSmallerThanTheCanvasStayInsideIt) {
  CVL_CreateLayer(5, 10, 8);
  CVL_SetLayer(5);
  for (int i = 0; i < 80 * 4; ++i) current()[i] = 3;
  CVL_SaveUndoBuffer(1, 0);  // empty stroke rectangle: the whole layer
  const UndoRecord& record = undo_store().records[0];
  EXPECT_EQ(record.right, 9);
  EXPECT_EQ(record.bottom, 7);
  CVL_Undo();
  EXPECT_EQ(current()[79 * 4], 0);
  CVL_Redo();
  EXPECT_EQ(current()[79 * 4], 3);
}

}  // namespace
}  // namespace cvl
