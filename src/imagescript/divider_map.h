// Divider (effect 17): values 3 and 4 the number of columns and rows; every cell
// shows the whole picture made smaller, and 1 x 1 (or 0) leaves it. The source
// column depends on the destination column alone, and the row on the row.
#pragma once

#include <algorithm>
#include <cmath>

#include "imagescript/effect_support.h"

namespace cvl::imagescript {

class DividerMap {
 public:
  DividerMap(const Values& v, int32_t w, int32_t h)
      : w_(w), h_(h), cols_(std::clamp(v(3), 1, w)), rows_(std::clamp(v(4), 1, h)) {}
  bool changes_nothing() const { return cols_ == 1 && rows_ == 1; }
  double across(int32_t x) const { return std::fmod((x + 0.5) * cols_, double(w_)) - 0.5; }
  double down(int32_t y) const { return std::fmod((y + 0.5) * rows_, double(h_)) - 0.5; }

 private:
  int32_t w_, h_, cols_, rows_;
};

}  // namespace cvl::imagescript
