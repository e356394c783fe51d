#include "strokes.h"

#include <algorithm>
#include <cmath>

#include "corvel/corvel.h"

namespace corvel_tool {

namespace {

constexpr double kPi = 3.14159265358979323846;

Point catmull_rom(const Point& p0, const Point& p1, const Point& p2, const Point& p3, double t) {
  const double t2 = t * t, t3 = t2 * t;
  auto axis = [&](double a, double b, double c, double d) {
    return 0.5 * (2 * b + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (-a + 3 * b - 3 * c + d) * t3);
  };
  return {axis(p0.x, p1.x, p2.x, p3.x), axis(p0.y, p1.y, p2.y, p3.y)};
}

double distance(const Point& a, const Point& b) { return std::hypot(b.x - a.x, b.y - a.y); }

}  // namespace

Colour mix(Colour a, Colour b, double t) {
  auto lerp = [t](int u, int v) { return static_cast<int>(std::lround(u + (v - u) * t)); };
  return {lerp(a.r, b.r), lerp(a.g, b.g), lerp(a.b, b.b)};
}

std::vector<Point> sample_curve(const std::vector<Point>& points, double step) {
  std::vector<Point> out;
  if (points.empty()) return out;
  out.push_back(points.front());
  if (points.size() == 1) return out;
  step = std::max(step, 0.5);
  // A fine polyline first, then points at equal distances along it.
  std::vector<Point> fine;
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    const Point& p0 = points[i ? i - 1 : 0];
    const Point& p3 = points[std::min(i + 2, points.size() - 1)];
    for (int k = 0; k < 32; ++k) fine.push_back(catmull_rom(p0, points[i], points[i + 1], p3, k / 32.0));
  }
  fine.push_back(points.back());
  double carried = 0;
  for (size_t i = 1; i < fine.size(); ++i) {
    const double seg = distance(fine[i - 1], fine[i]);
    double at = step - carried;
    for (; at <= seg; at += step) {
      const double t = at / seg;
      out.push_back({fine[i - 1].x + (fine[i].x - fine[i - 1].x) * t, fine[i - 1].y + (fine[i].y - fine[i - 1].y) * t});
    }
    carried = seg - (at - step);
  }
  return out;
}

void Painter::use_layer(int slot) {
  slot_ = slot;
  CVL_SetLayer(slot);
}

void Painter::use_brush(const Brush& brush) {
  brush_ = brush;
  // The tip and grit patterns are built at the current size, so the size comes first.
  CVL_SetSize(brush.size);
  CVL_SetTool(1.0f, brush.grit_dot, brush.grit_chance, brush.grit_fill, brush.softness, 0, 3, 0, 0, 0, 0, 0, 0, "",
              brush.tip.c_str(), 0);
  CVL_SetDensity(brush.density);
  CVL_SetAlpha(brush.opacity);
  CVL_SetMixMode(brush.mix_mode, brush.mix_strength);
  CVL_SetRotateBrushMode(0, 0);
}

void Painter::begin(int stroke_opacity, const char* stroke_mode) {
  if (stroke_opacity > 0) {
    CVL_CreatePaintLayer(stroke_opacity, stroke_mode);
    CVL_ClearPaintLayer();
  } else {
    CVL_DeletePaintLayer();  // without a paint layer, dabs land on the layer itself
  }
}

void Painter::put(const Point& p, double scale, int angle, Colour c) {
  CVL_SetScaleSize(std::max(1, static_cast<int>(std::lround(brush_.size * scale))));
  if (brush_.follow_direction) CVL_SetRotateBrushMode(1, angle);
  CVL_DrawDabGrit(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)), c.r << 8, c.g << 8, c.b << 8);
  CVL_DecDrawingLength();
  ++log_.dabs;
}

void Painter::end(int stroke_opacity) {
  if (stroke_opacity > 0) CVL_MergePaintLayer(slot_);
  CVL_SaveUndoBuffer(1, 0);
  ++log_.strokes;
}

void Painter::stroke(const std::vector<Point>& points, const StrokeStyle& style) {
  // A fine path first; dabs then follow it about `spacing` of their own size apart, so
  // thin (tapered) parts of the stroke get their dabs closer together.
  const double fine = std::max(0.5, brush_.size * brush_.spacing * style.min_scale * 0.5);
  const std::vector<Point> path = sample_curve(points, fine);
  if (path.empty()) return;
  begin(style.stroke_opacity, style.stroke_mode);
  const double n = static_cast<double>(path.size() > 1 ? path.size() - 1 : 1);
  double since = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    const double t = i / n;
    double scale = 1;
    if (style.taper_in > 0 && t < style.taper_in) scale = style.min_scale + (1 - style.min_scale) * (t / style.taper_in);
    if (style.taper_out > 0 && t > 1 - style.taper_out)
      scale = std::min(scale, style.min_scale + (1 - style.min_scale) * ((1 - t) / style.taper_out));
    if (i > 0) {
      since += distance(path[i], path[i - 1]);
      if (since < brush_.size * scale * brush_.spacing) continue;
    }
    since = 0;
    const Point& a = path[i ? i - 1 : 0];
    const Point& b = path[std::min(i + 1, path.size() - 1)];
    const int angle = static_cast<int>(std::lround(std::atan2(-(b.y - a.y), b.x - a.x) * 180 / kPi));
    put(path[i], scale, angle, mix(style.from, style.to, t));
  }
  end(style.stroke_opacity);
}

void Painter::dabs(const std::vector<Dab>& list, int stroke_opacity, const char* stroke_mode) {
  begin(stroke_opacity, stroke_mode);
  const bool turn = brush_.follow_direction;
  brush_.follow_direction = true;
  for (const Dab& d : list) put(d.at, d.scale, d.angle, d.colour);
  brush_.follow_direction = turn;
  CVL_SetRotateBrushMode(0, 0);
  end(stroke_opacity);
}

}  // namespace corvel_tool
