// Effect rows of the polygon warps: the box round the current layer's
// non-transparent pixels is carried onto a quadrilateral whose corners the
// sliders move. A slider at 50 leaves its corners in place; above 50 a corner
// moves right or down, or an edge outwards, below 50 the other way.
#include <utility>

#include "imaging/geometry/polygon_warp.h"
#include "effects/effect_rows_imaging.h"

namespace cvl {
namespace {

using imaging::Quad;
enum Corner { kTopLeft, kTopRight, kBottomRight, kBottomLeft };

// The box and its quadrilateral, with the moves the rows are made of.
struct WarpShape {
  Quad from, to;
  int32_t w = 0, h = 0;  // box extents
  double scale = 0.01;

  // How far slider s moves a corner along an axis of the box's extent e:
  // positive above 50.
  double move(int32_t e, float s) const { return -warp_corner_shift(e, s, scale); }
  void shift(int corner, double dx, double dy) { to[corner].x += dx, to[corner].y += dy; }
  // Moves both corners of an edge.
  void shift_edge(int a, int b, double dx, double dy) { shift(a, dx, dy), shift(b, dx, dy); }
  // Pulls the two ends of an edge apart (s > 50) or together along x or y.
  void spread_x(int left, int right, float s) { shift(left, -move(w, s), 0), shift(right, move(w, s), 0); }
  void spread_y(int top, int bottom, float s) { shift(top, 0, -move(h, s)), shift(bottom, 0, move(h, s)); }
};

// Shape of the current layer's content, or false when the layer shows nothing.
bool shape_of(const EffectCall& call, double scale, WarpShape* shape) {
  const DataBox box = current_layer_box(call);
  if (box.right < box.left || box.bottom < box.top) return false;
  shape->from = {{{double(box.left), double(box.top)},
                  {double(box.right), double(box.top)},
                  {double(box.right), double(box.bottom)},
                  {double(box.left), double(box.bottom)}}};
  shape->to = shape->from;
  shape->w = box.width(), shape->h = box.height();
  shape->scale = scale;
  return true;
}

// Frame P around a warp whose target `build(shape)` sets. The warp itself writes
// the row's colour, transparent, outside the target, so the destination needs no
// clearing first.
template <class Build>
int32_t warp(const EffectCall& call, double scale, Build&& build) {
  WarpShape shape;
  if (!shape_of(call, scale, &shape)) return 0;
  build(shape);
  return frame_p(call, [&] {
    const imaging::ImageView src{call.src, call.width, call.height, 4, call.stride()};
    const imaging::ImageView dst{call.dst, call.width, call.height, 4, call.stride()};
    const imaging::Colour fill{uint8_t(call.r), uint8_t(call.g), uint8_t(call.b), 0};
    return imaging::polygon_warp(src, dst, shape.from, shape.to, fill);
  });
}

constexpr double kFine = 0.01, kCoarse = 0.04;

// Top and bottom edges widened by their sliders, left and right edges lengthened,
// each symmetric about the box's middle.
void spread_box(WarpShape& q, float top, float bottom, float left, float right) {
  q.spread_x(kTopLeft, kTopRight, top);
  q.spread_x(kBottomLeft, kBottomRight, bottom);
  q.spread_y(kTopLeft, kBottomLeft, left);
  q.spread_y(kTopRight, kBottomRight, right);
}

}  // namespace

// Top width, bottom width, left height, right height, each kept symmetric.
int32_t row_perspective(const EffectCall& call) {
  const float* s = call.s;
  return warp(call, kFine, [&](WarpShape& q) { spread_box(q, s[0], s[1], s[2], s[3]); });
}

// Each corner pushed out from the middle (above 50) or pulled in, both ways.
int32_t row_warp(const EffectCall& call) {
  const float* s = call.s;
  return warp(call, kFine, [&](WarpShape& q) {
    const double sign[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int k = 0; k < 4; ++k) q.shift(k, sign[k][0] * q.move(q.w, s[k]), sign[k][1] * q.move(q.h, s[k]));
  });
}

// option picks the edge (0 top, 1 right, 2 bottom, 3 left, round the box);
// s1 and s2 slide its two ends along it, s3 moves the whole edge outwards.
int32_t row_warp_edge(const EffectCall& call) {
  const float* s = call.s;
  const int edge = ((call.option % 4) + 4) % 4;
  return warp(call, kCoarse, [&](WarpShape& q) {
    // Per edge: its corners in order round the box, the direction along it and outwards.
    static constexpr int kEnds[4][2] = {{kTopLeft, kTopRight}, {kTopRight, kBottomRight},
                                        {kBottomRight, kBottomLeft}, {kBottomLeft, kTopLeft}};
    static constexpr double kAlong[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    static constexpr double kOut[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    const int32_t along_extent = edge % 2 == 0 ? q.w : q.h, out_extent = edge % 2 == 0 ? q.h : q.w;
    for (int end = 0; end < 2; ++end) {
      const double m = q.move(along_extent, s[end]);
      q.shift(kEnds[edge][end], kAlong[edge][0] * m, kAlong[edge][1] * m);
    }
    const double out = q.move(out_extent, s[2]);
    q.shift_edge(kEnds[edge][0], kEnds[edge][1], kOut[edge][0] * out, kOut[edge][1] * out);
  });
}

// Three corners placed freely (s1, s2 top-left; s3, s4 top-right; s5, s6
// bottom-left); the fourth follows them so that the map stays a parallelogram,
// unless f5 pins it. f3 and f4 mirror the result across and down.
int32_t row_warp_3_point(const EffectCall& call) {
  const float* s = call.s;
  return warp(call, kCoarse, [&](WarpShape& q) {
    const int corners[3] = {kTopLeft, kTopRight, kBottomLeft};
    for (int k = 0; k < 3; ++k) q.shift(corners[k], q.move(q.w, s[2 * k]), q.move(q.h, s[2 * k + 1]));
    if (!call.flag(4)) {
      Quad& t = q.to;
      t[kBottomRight] = {t[kTopRight].x + t[kBottomLeft].x - t[kTopLeft].x,
                         t[kTopRight].y + t[kBottomLeft].y - t[kTopLeft].y};
    }
    if (call.flag(2)) std::swap(q.to[kTopLeft], q.to[kTopRight]), std::swap(q.to[kBottomLeft], q.to[kBottomRight]);
    if (call.flag(3)) std::swap(q.to[kTopLeft], q.to[kBottomLeft]), std::swap(q.to[kTopRight], q.to[kBottomRight]);
  });
}

// Wider or narrower (s1) and taller or shorter (s2) about the box's middle.
int32_t row_stretch(const EffectCall& call) {
  const float* s = call.s;
  return warp(call, kFine, [&](WarpShape& q) { spread_box(q, s[0], s[0], s[1], s[1]); });
}

// Each edge moved outwards on its own: left, top, right, bottom.
int32_t row_stretch_edge(const EffectCall& call) {
  const float* s = call.s;
  return warp(call, kFine, [&](WarpShape& q) {
    q.shift_edge(kTopLeft, kBottomLeft, -q.move(q.w, s[0]), 0);
    q.shift_edge(kTopLeft, kTopRight, 0, -q.move(q.h, s[1]));
    q.shift_edge(kTopRight, kBottomRight, q.move(q.w, s[2]), 0);
    q.shift_edge(kBottomLeft, kBottomRight, 0, q.move(q.h, s[3]));
  });
}

// A turn about a vertical axis: the left (s1) and right (s2) edges grow or
// shrink about their middles, and slide across (s3, s4).
int32_t row_vertical_pivot(const EffectCall& call) {
  const float* s = call.s;
  return warp(call, kFine, [&](WarpShape& q) {
    q.spread_y(kTopLeft, kBottomLeft, s[0]);
    q.spread_y(kTopRight, kBottomRight, s[1]);
    q.shift_edge(kTopLeft, kBottomLeft, q.move(q.w, s[2]), 0);
    q.shift_edge(kTopRight, kBottomRight, q.move(q.w, s[3]), 0);
  });
}

// A turn about a horizontal axis: the top (s1) and bottom (s2) edges grow or
// shrink about their middles, and slide up or down (s3, s4).
int32_t row_horizontal_pivot(const EffectCall& call) {
  const float* s = call.s;
  return warp(call, kFine, [&](WarpShape& q) {
    q.spread_x(kTopLeft, kTopRight, s[0]);
    q.spread_x(kBottomLeft, kBottomRight, s[1]);
    q.shift_edge(kTopLeft, kTopRight, 0, q.move(q.h, s[2]));
    q.shift_edge(kBottomLeft, kBottomRight, 0, q.move(q.h, s[3]));
  });
}

// Edges slid along themselves: top and bottom across (s1, s2), left and right
// up or down (s3, s4).
int32_t row_skew(const EffectCall& call) {
  const float* s = call.s;
  return warp(call, kFine, [&](WarpShape& q) {
    q.shift_edge(kTopLeft, kTopRight, q.move(q.w, s[0]), 0);
    q.shift_edge(kBottomLeft, kBottomRight, q.move(q.w, s[1]), 0);
    q.shift_edge(kTopLeft, kBottomLeft, 0, q.move(q.h, s[2]));
    q.shift_edge(kTopRight, kBottomRight, 0, q.move(q.h, s[3]));
  });
}

}  // namespace cvl
