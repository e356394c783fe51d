// Flips and quarter turns of every layer.
#include "core/engine.h"
#include "imaging/geometry/flip.h"
#include "imaging/geometry/quarter_turn.h"
#include "ipl/geometry.h"
#include "ipl/layer_frame.h"

namespace cvl {
namespace {

using imaging::ImageView;

void rotate_all(imaging::QuarterTurn turn) {
  const Engine& e = engine();
  for_each_layer_resized(e.canvas_height, e.canvas_width, [turn](const ImageView& work, const ImageView& out, int32_t) {
    return imaging::rotate_quarter(work, out, turn);
  });
}

}  // namespace

void ipl_flip_horizontal() {
  for_each_layer_in_place([](const ImageView& work) {
    imaging::flip_horizontal(work);
    return true;
  });
}

void ipl_flip_vertical() {
  for_each_layer_in_place([](const ImageView& work) {
    imaging::flip_vertical(work);
    return true;
  });
}

void ipl_rotate_left() { rotate_all(imaging::QuarterTurn::Left); }
void ipl_rotate_right() { rotate_all(imaging::QuarterTurn::Right); }

}  // namespace cvl
