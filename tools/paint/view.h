// The view: the display buffer the host owns, the zoom and pan that map it onto the
// canvas, and the CVL_Render calls that fill it.
#pragma once

#include <cstdint>
#include <vector>

#include "stroke.h"

namespace corvel_paint {

class View {
 public:
  // A view of width x height output pixels onto a canvas of the given size.
  void resize(int width, int height, int canvas_width, int canvas_height);
  void zoom_at(int steps, int vx, int vy);  // wheel steps, > 0 zooms in, around a view pixel
  void pan(int dx, int dy);                 // by view pixels
  void reset();                             // 1:1, canvas corner at the view corner
  void to_canvas(double vx, double vy, double& cx, double& cy) const;

  // Composites a canvas rectangle into the display buffer; returns the view rectangle
  // that now needs showing (empty when none of it is on screen).
  Rect render(const Rect& canvas);
  Rect render_all();  // the whole view, the area around the canvas grey

  const uint8_t* pixels() const { return display_.data(); }
  int stride() const { return stride_; }  // bytes per row
  int width() const { return width_; }
  int height() const { return height_; }
  const char* zoom_name() const;

 private:
  int factor() const;
  bool enlarged() const { return level_ > kOneToOne; }
  void tell_engine() const;
  void align_offset();

  static constexpr int kOneToOne = 3;  // index of 1:1 in the zoom table
  int width_ = 0, height_ = 0, canvas_w_ = 0, canvas_h_ = 0;
  int level_ = kOneToOne;
  int ox_ = 0, oy_ = 0;  // canvas pixel shown at the view's top-left corner
  int stride_ = 0;
  std::vector<uint8_t> display_;  // BGR24, as the engine renders
};

}  // namespace corvel_paint
