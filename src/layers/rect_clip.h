// Clipping caller rectangles to an image.
#pragma once

#include <algorithm>
#include <cstdint>

namespace cvl {

// The end of a run of `length` starting at `start`, held to `limit`; summed
// wide so that a stray length from a host cannot overflow.
inline int32_t end_within(int32_t start, int32_t length, int32_t limit) {
  return static_cast<int32_t>(std::min<int64_t>(int64_t{start} + length, limit));
}

}  // namespace cvl
