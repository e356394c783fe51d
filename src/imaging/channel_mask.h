// Channel masks of the filters: bit k set means channel k is filtered. A filter
// that works on every channel at once puts the unselected ones back afterwards.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/image_view.h"

namespace cvl::imaging {

inline bool same_shape(const ImageView& a, const ImageView& b) {
  return a.data && b.data && a.width > 0 && a.height > 0 && a.width == b.width && a.height == b.height &&
         a.channels == b.channels && (a.channels == 1 || a.channels == 3 || a.channels == 4) &&
         a.stride >= a.width * a.channels && b.stride >= b.width * b.channels;
}

inline bool all_channels(uint32_t mask, int32_t channels) {
  const uint32_t full = (1u << channels) - 1;
  return (mask & full) == full;
}

// Copies the channels not in `mask` from `from` into `into`, row by row. Used
// only when `from` still holds the original pixels (a separate source).
inline void restore_unmasked(const ImageView& from, const ImageView& into, uint32_t mask) {
  if (all_channels(mask, from.channels) || from.data == into.data) return;
  for (int32_t y = 0; y < from.height; ++y) {
    const uint8_t* s = from.row(y);
    uint8_t* d = into.row(y);
    for (int32_t x = 0; x < from.width; ++x, s += from.channels, d += from.channels)
      for (int32_t c = 0; c < from.channels; ++c)
        if (!(mask >> c & 1)) d[c] = s[c];
  }
}

// Copies a whole view into another of the same shape.
inline void copy_view(const ImageView& from, const ImageView& into) {
  if (from.data == into.data) return;
  const size_t bytes = size_t(from.width) * size_t(from.channels);
  for (int32_t y = 0; y < from.height; ++y) std::memmove(into.row(y), from.row(y), bytes);
}

// The view a filter reads: `src` itself, or, when the filter writes in place
// (src and dst share pixels), a packed copy of it kept alive by `keep`.
inline ImageView unaliased_source(const ImageView& src, const ImageView& dst, Image& keep) {
  if (src.data != dst.data) return src;
  keep = Image{std::vector<uint8_t>(size_t(src.width) * src.height * src.channels), src.width, src.height,
               src.channels};
  copy_view(src, keep.view());
  return keep.view();
}

}  // namespace cvl::imaging
