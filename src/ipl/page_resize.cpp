// A new page size around an anchor: the old picture is kept at full size and
// placed by the anchor, new area is white paper on the background layer and
// transparent elsewhere.
#include <cstring>

#include "core/engine.h"
#include "imaging/overlay.h"
#include "ipl/geometry.h"
#include "ipl/layer_frame.h"

namespace cvl {
namespace {

// Offset along one axis for its anchor letter: the start letter places nothing.
int32_t anchor_offset(char letter, char middle, char end, int32_t growth) {
  if (letter == middle) return growth / 2;
  if (letter == end) return growth;
  return 0;
}

}  // namespace

FailureCause ipl_resize_page(Engine& canvas, int32_t new_width, int32_t new_height, const char* anchor) {
  if (FailureCause empty = empty_size(new_width, new_height); !empty.empty()) return empty;
  const Engine& e = canvas;
  int32_t x = 0, y = 0;
  // Two letters, vertical place then horizontal; any other text places at the top left.
  if (anchor && std::strlen(anchor) == 2 && std::strchr("TMB", anchor[0]) && std::strchr("LCR", anchor[1])) {
    y = anchor_offset(anchor[0], 'M', 'B', new_height - e.canvas_height);
    x = anchor_offset(anchor[1], 'C', 'R', new_width - e.canvas_width);
  }
  for_each_layer_resized(canvas, new_width, new_height,
                         [x, y](const imaging::ImageView& work, const imaging::ImageView& out, int32_t slot) {
                           std::memset(out.data, slot == kBackgroundSlot ? 255 : 0,
                                       static_cast<size_t>(out.stride) * static_cast<size_t>(out.height));
                           imaging::overlay_image(out.data, out.width, out.height, out.stride, work.data, work.width,
                                                  work.height, work.stride, x, y, 4);
                           return true;
                         });
  return {};
}

}  // namespace cvl
