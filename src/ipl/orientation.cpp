// Flips and quarter turns of every layer.
#include "core/engine.h"
#include "imaging/geometry/flip.h"
#include "imaging/geometry/quarter_turn.h"
#include "ipl/geometry.h"
#include "ipl/layer_frame.h"

namespace cvl {
namespace {

using imaging::ImageView;

void rotate_all(Engine& canvas, imaging::QuarterTurn turn) {
  const Engine& e = canvas;
  for_each_layer_resized(canvas, e.canvas_height, e.canvas_width, [turn](const ImageView& work, const ImageView& out, int32_t) {
    return imaging::rotate_quarter(work, out, turn);
  });
}

}  // namespace

void ipl_flip_horizontal(Engine& canvas) {
  for_each_layer_in_place(canvas, [](const ImageView& work) {
    imaging::flip_horizontal(work);
    return true;
  });
}

void ipl_flip_vertical(Engine& canvas) {
  for_each_layer_in_place(canvas, [](const ImageView& work) {
    imaging::flip_vertical(work);
    return true;
  });
}

void ipl_rotate_left(Engine& canvas) { rotate_all(canvas, imaging::QuarterTurn::Left); }
void ipl_rotate_right(Engine& canvas) { rotate_all(canvas, imaging::QuarterTurn::Right); }

}  // namespace cvl
