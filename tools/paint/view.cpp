#include "view.h"

#include <cstring>

#include "corvel/corvel.h"

namespace corvel_paint {

namespace {

// Zoom factors: reduced views below 1:1, enlarged ones above.
constexpr int kFactors[] = {8, 4, 2, 1, 2, 4, 8};
constexpr int kLevels = 7;
constexpr int kMaxFactor = 8;
constexpr uint8_t kSurround = 0x50;

int floor_div(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int ceil_div(int a, int b) { return -floor_div(-a, b); }

}  // namespace

int View::factor() const { return kFactors[level_]; }

const char* View::zoom_name() const {
  static const char* names[] = {"1:8", "1:4", "1:2", "1:1", "2:1", "4:1", "8:1"};
  return names[level_];
}

void View::resize(int width, int height, int canvas_width, int canvas_height) {
  width_ = std::max(1, width);
  height_ = std::max(1, height);
  canvas_w_ = canvas_width;
  canvas_h_ = canvas_height;
  // The engine writes whole enlarged canvas pixels, so a rectangle's last column or row
  // may reach up to factor - 1 pixels past the view's edge: the buffer has room for it.
  stride_ = (width_ + kMaxFactor) * 3;
  display_.assign(static_cast<size_t>(stride_) * static_cast<size_t>(height_ + kMaxFactor), kSurround);
  tell_engine();
}

void View::tell_engine() const {
  if (enlarged())
    CVL_SetScale(factor(), 1);
  else
    CVL_SetScale(1, factor());
  CVL_SetOffset(ox_, oy_);
  CVL_SetViewSize(width_, height_);
}

void View::align_offset() {
  // A reduced view shows the top-left pixel of each factor x factor block; blocks
  // start on the offset, so every partial render samples the same pixels.
  if (!enlarged()) {
    ox_ = floor_div(ox_, factor()) * factor();
    oy_ = floor_div(oy_, factor()) * factor();
  }
}

void View::to_canvas(double vx, double vy, double& cx, double& cy) const {
  const double f = factor();
  cx = enlarged() ? ox_ + vx / f : ox_ + vx * f;
  cy = enlarged() ? oy_ + vy / f : oy_ + vy * f;
}

void View::zoom_at(int steps, int vx, int vy) {
  double cx, cy;
  to_canvas(vx, vy, cx, cy);
  level_ = std::clamp(level_ + steps, 0, kLevels - 1);
  const double f = factor();
  ox_ = static_cast<int>(enlarged() ? cx - vx / f : cx - vx * f);
  oy_ = static_cast<int>(enlarged() ? cy - vy / f : cy - vy * f);
  align_offset();
  tell_engine();
}

void View::pan(int dx, int dy) {
  if (enlarged()) {
    ox_ -= dx / factor();
    oy_ -= dy / factor();
  } else {
    ox_ -= dx * factor();
    oy_ -= dy * factor();
  }
  align_offset();
  tell_engine();
}

void View::reset() {
  level_ = kOneToOne;
  ox_ = oy_ = 0;
  tell_engine();
}

Rect View::render(const Rect& canvas) {
  const int f = factor();
  // Canvas pixels on screen: from the offset, as many as the view holds.
  const int span_x = enlarged() ? ceil_div(width_, f) : width_ * f;
  const int span_y = enlarged() ? ceil_div(height_, f) : height_ * f;
  int x0 = std::max({canvas.left, 0, ox_}), y0 = std::max({canvas.top, 0, oy_});
  int x1 = std::min({canvas.right, canvas_w_, ox_ + span_x}), y1 = std::min({canvas.bottom, canvas_h_, oy_ + span_y});
  if (x1 <= x0 || y1 <= y0) return {};
  int vx, vy, vw, vh;
  if (enlarged()) {
    vx = (x0 - ox_) * f;
    vy = (y0 - oy_) * f;
    vw = (x1 - x0) * f;
    vh = (y1 - y0) * f;
  } else {
    // Whole blocks only: start on a block, end on the block that holds the last pixel.
    x0 = ox_ + (x0 - ox_) / f * f;
    y0 = oy_ + (y0 - oy_) / f * f;
    x1 = std::min(canvas_w_, ox_ + ceil_div(x1 - ox_, f) * f);
    y1 = std::min(canvas_h_, oy_ + ceil_div(y1 - oy_, f) * f);
    vx = (x0 - ox_) / f;
    vy = (y0 - oy_) / f;
    vw = (x1 - x0) / f;
    vh = (y1 - y0) / f;
  }
  uint8_t* dst = display_.data() + static_cast<size_t>(vy) * stride_ + static_cast<size_t>(vx) * 3;
  CVL_Render(dst, stride_, x0, y0, x1 - x0, y1 - y0);
  return {vx, vy, std::min(width_, vx + vw), std::min(height_, vy + vh)};
}

Rect View::render_all() {
  std::memset(display_.data(), kSurround, display_.size());
  render({0, 0, canvas_w_, canvas_h_});
  return {0, 0, width_, height_};
}

}  // namespace corvel_paint
