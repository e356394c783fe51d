// The window extremes as first written: one thread, rows and then column strips
// by running prefix and suffix extremes. The plain twin min_max_filter.cpp is
// held to.
#include "imaging/filters/min_max_filter.h"

#include <algorithm>
#include <vector>

#include "imaging/filters/box_blur.h"
#include "imaging/filters/min_max_filter_support.h"
#include "imaging/channel_mask.h"

namespace cvl::imaging {
namespace {

struct Max {
  uint8_t operator()(uint8_t a, uint8_t b) const { return a > b ? a : b; }
};
struct Min {
  uint8_t operator()(uint8_t a, uint8_t b) const { return a < b ? a : b; }
};

// Rows first into a scratch image, then the columns of the scratch in strips.
template <class Op>
bool extreme_filter(const ImageView& src, const ImageView& dst, int32_t radius, Op op) {
  if (!same_shape(src, dst) || radius < 0) return false;
  Image across;
  if (!detail::start_extremes(src, dst, radius, across)) return true;
  detail::running_extremes(src, across.view(), dst, radius, op);
  return true;
}

}  // namespace

bool maximum_filter_reference(const ImageView& src, const ImageView& dst, int32_t radius) {
  return extreme_filter(src, dst, radius, Max{});
}
bool minimum_filter_reference(const ImageView& src, const ImageView& dst, int32_t radius) {
  return extreme_filter(src, dst, radius, Min{});
}

}  // namespace cvl::imaging
