// Content-aware width change of every layer, the selection protecting.
#include <algorithm>
#include <cstring>
#include <vector>

#include "core/engine.h"
#include "imaging/geometry/seam_carve.h"
#include "ipl/geometry.h"
#include "ipl/layer_frame.h"

namespace cvl {

void ipl_seam_carve(Engine& canvas, int32_t new_width, int32_t new_height) {
  if (new_width <= 0 || new_height <= 0) return;
  const Engine& e = canvas;
  // While the mask is enabled, selected pixels are the ones seams keep away from.
  const imaging::SeamProtection protection =
      e.mask_active() ? imaging::SeamProtection{e.mask.get(), e.canvas_width} : imaging::SeamProtection{};
  // Seams only change the width: the carved picture keeps the canvas height and
  // is placed at the top of a layer of the asked height.
  std::vector<uint8_t> carved(size_t(new_width) * size_t(e.canvas_height) * 4);
  const imaging::ImageView carved_view{carved.data(), new_width, e.canvas_height, 4, new_width * 4};
  for_each_layer_resized(canvas, new_width, new_height,
                         [&](const imaging::ImageView& work, const imaging::ImageView& out, int32_t) {
                           if (!imaging::seam_carve_width(work, protection, carved_view)) return false;
                           const size_t row = size_t(out.stride);
                           const int32_t rows = std::min(out.height, carved_view.height);
                           std::memcpy(out.data, carved.data(), row * size_t(rows));
                           std::memset(out.data + row * size_t(rows), 0, row * size_t(out.height - rows));
                           return true;
                         });
}

}  // namespace cvl
