// The three scale cases each have their own row loop: 1:1, reduced (every
// sy-th canvas pixel of every sy-th row) and enlarged (each canvas pixel
// written sx times across and composited again for each of its sx rows).
// Rows are composited in spans of up to kViewChunk samples; each span runs the
// layer loops chosen at the start of the call, then is resolved (trace,
// checkerboard) and written.
#include "view/view_render.h"

#include <algorithm>
#include <cstddef>

#include "view/view_accumulator.h"
#include "view/view_layers.h"
#include "core/canvas_geometry.h"
#include "mask/mask_overlay.h"
#include "imaging/parallel_bands.h"

namespace cvl {

namespace {

enum class Scale { same, reduced, enlarged };

// What stays fixed for one call.
struct ViewFrame {
  ViewLayerList layers;
  const Layer* trace = nullptr;  // set while tracing
  const MaskDisplay* overlay = nullptr;  // set while the mask is shown
  const uint16_t* mask = nullptr;
  int32_t mask_stride = 0;  // words
};

// How many samples cx, cx + step, ... (n of them) lie left of `limit`.
inline int32_t samples_before(int32_t cx, int32_t step, int32_t n, int32_t limit) {
  if (limit <= cx) return 0;
  return std::min(n, (limit - cx - 1) / step + 1);
}

// Runs every listed layer over the span. A layer (or its layer mask) smaller
// than the canvas takes part only where it has pixels.
void composite_span(const ViewFrame& f, int32_t cx, int32_t cy, int32_t step, int32_t n, ViewAccumulator& acc) {
  acc.clear(n);
  for (int32_t k = 0; k < f.layers.count; ++k) {
    const ViewLayer& v = f.layers.entries[k];
    const Layer& layer = *v.layer;
    const int32_t inside = cy < layer.height ? samples_before(cx, step, n, layer.width) : 0;
    if (inside == 0) continue;
    ViewPassArgs args;
    args.src = layer_row(layer, cy) + static_cast<size_t>(cx) * 4;
    args.step = static_cast<ptrdiff_t>(step) * 4;
    args.opacity = layer.opacity;
    args.forced_opaque = v.forced_opaque;
    const Layer* mask = v.layer_mask;
    const int32_t masked = mask && cy < mask->height ? std::min(inside, samples_before(cx, step, n, mask->width)) : 0;
    if (masked > 0) {
      args.mask = layer_row(*mask, cy) + static_cast<size_t>(cx) * 4;
      args.end = masked;
      v.masked_pass(args, acc);
      args.begin = masked;
    }
    args.end = inside;
    if (args.begin < args.end) v.pass(args, acc);
  }
}

// Turns the span into final 16-bit colours in acc.px: blended samples back to
// words, then the trace layer mixed in half and half, then the checkerboard
// (32-pixel squares of 65535 and 40959) showing through transparency.
void resolve_span(const ViewFrame& f, int32_t cx, int32_t cy, int32_t step, int32_t n, ViewAccumulator& acc) {
  const uint16_t* trace = nullptr;
  int32_t traced = 0;
  if (f.trace && cy < f.trace->height) traced = samples_before(cx, step, n, f.trace->width);
  if (traced > 0) trace = layer_row(*f.trace, cy) + static_cast<size_t>(cx) * 4;
  const uint32_t row_square = static_cast<uint32_t>(cy >> 5);
  for (int32_t i = 0; i < n; ++i) {
    uint16_t* p = acc.px + i * 4;
    uint32_t c[3], alpha;
    if (acc.is_real[i]) {
      for (int ch = 0; ch < 3; ++ch) c[ch] = static_cast<uint32_t>(static_cast<int32_t>(acc.real[ch][i]));
      alpha = static_cast<uint32_t>(static_cast<int32_t>(acc.real[3][i]));
    } else {
      c[0] = p[0], c[1] = p[1], c[2] = p[2], alpha = p[3];
    }
    if (i < traced) {
      const uint16_t* t = trace + static_cast<ptrdiff_t>(i) * step * 4;
      for (int ch = 0; ch < 3; ++ch) c[ch] = (t[ch] + c[ch]) >> 1;
    }
    if (alpha < 65535) {
      const uint32_t square = static_cast<uint32_t>((cx + i * step) >> 5) + row_square;
      const uint32_t check = (square & 1) ? 40959 : 65535;
      const uint32_t t = (check * (65535 - alpha)) >> 8;
      for (int ch = 0; ch < 3; ++ch) c[ch] = (((alpha * c[ch]) >> 8) + t) >> 8;
    }
    for (int ch = 0; ch < 3; ++ch) p[ch] = static_cast<uint16_t>(c[ch]);
  }
}

// The display bytes of resolved sample i at canvas (cx, cy): the mask overlay
// where it applies, else the high bytes of blue, green and red.
template <Scale S>
inline void display_bytes(const ViewFrame& f, const uint16_t* p, int32_t cx, int32_t cy, uint8_t* out) {
  if (f.overlay) {
    const uint16_t m = f.mask[static_cast<size_t>(cy) * static_cast<size_t>(f.mask_stride) + static_cast<size_t>(cx)];
    // The 1:1 view leaves fully selected pixels alone; the scaled views tint all.
    if (S != Scale::same || m < 65535) {
      mask_overlay_pixel(*f.overlay, m, cx, cy, p[0], p[1], p[2], out);
      return;
    }
  }
  out[0] = static_cast<uint8_t>(p[2] >> 8);
  out[1] = static_cast<uint8_t>(p[1] >> 8);
  out[2] = static_cast<uint8_t>(p[0] >> 8);
}

// One output row. For 1:1 and reduced views output pixel i shows canvas column
// x + i * step; for the enlarged view it shows x + i / factor.
template <Scale S>
void render_row(const ViewFrame& f, int32_t x, int32_t cy, int32_t factor, int32_t out_width, uint8_t* out,
                ViewAccumulator& acc) {
  const int32_t step = S == Scale::reduced ? factor : 1;
  const int32_t samples = S == Scale::enlarged ? (out_width - 1) / factor + 1 : out_width;
  for (int32_t first = 0; first < samples; first += kViewChunk) {
    const int32_t n = std::min(kViewChunk, samples - first);
    const int32_t cx = x + first * step;
    composite_span(f, cx, cy, step, n, acc);
    resolve_span(f, cx, cy, step, n, acc);
    if constexpr (S == Scale::enlarged) {
      for (int32_t i = 0; i < n; ++i) {
        uint8_t bgr[3];
        display_bytes<S>(f, acc.px + i * 4, cx + i, cy, bgr);
        const int32_t begin = (first + i) * factor, end = std::min(out_width, begin + factor);
        for (int32_t o = begin; o < end; ++o) {
          uint8_t* dst = out + static_cast<ptrdiff_t>(o) * 3;
          dst[0] = bgr[0], dst[1] = bgr[1], dst[2] = bgr[2];
        }
      }
    } else {
      uint8_t* dst = out + static_cast<ptrdiff_t>(first) * 3;
      for (int32_t i = 0; i < n; ++i) display_bytes<S>(f, acc.px + i * 4, cx + i * step, cy, dst + i * 3);
    }
  }
}

// Output row j shows canvas row y + j (1:1), y + j * factor (reduced) or
// y + j / factor (enlarged).
template <Scale S>
void render_rows(const ViewFrame& f, uint8_t* dst, int32_t dst_stride, int32_t x, int32_t y, int32_t factor,
                 int32_t out_width, int32_t out_height) {
  // Output rows are independent: a large view is drawn in bands on several threads.
  const int32_t samples = S == Scale::enlarged ? (out_width - 1) / factor + 1 : out_width;
  imaging::for_each_band(out_height, int64_t{samples} * std::max(f.layers.count, 1), [&](int32_t first, int32_t end) {
    ViewAccumulator acc;
    for (int32_t j = first; j < end; ++j) {
      const int32_t cy = S == Scale::same ? y + j : S == Scale::reduced ? y + j * factor : y + j / factor;
      render_row<S>(f, x, cy, factor, out_width, dst + static_cast<ptrdiff_t>(j) * dst_stride, acc);
    }
  });
}

int32_t at_most(int64_t v, int32_t limit) { return static_cast<int32_t>(std::min<int64_t>(v, limit)); }

}  // namespace

void render_view(const Engine& e, uint8_t* dst, int32_t dst_stride, int32_t x, int32_t y, int32_t width,
                 int32_t height) {
  if (!dst || !e.current_layer || !e.current_layer->has_pixels()) return;
  x = std::max(x, 0);
  y = std::max(y, 0);
  const int64_t w = std::min<int64_t>(width, int64_t{e.canvas_width} - x);
  const int64_t h = std::min<int64_t>(height, int64_t{e.canvas_height} - y);
  if (w <= 0 || h <= 0) return;

  // The comparison of the two scale values picks the case; the larger is the
  // factor. A factor below 1 has no meaning and shows nothing.
  const int32_t sx = e.view_scale_x, sy = e.view_scale_y;
  const Scale scale = sx == sy ? Scale::same : sx < sy ? Scale::reduced : Scale::enlarged;
  const int32_t factor = scale == Scale::same ? 1 : std::max(sx, sy);
  if (factor < 1) return;
  int32_t out_width, out_height;
  if (scale == Scale::reduced) {
    out_width = at_most(w / factor, e.view_width);
    out_height = at_most(h / factor, e.view_height);
  } else {
    out_width = at_most(w * factor, e.view_width);
    out_height = at_most(h * factor, e.view_height);
  }
  if (out_width <= 0 || out_height <= 0) return;

  ViewFrame f;
  gather_view_layers(e, f.layers);
  f.trace = e.tracing_mode && e.trace_layer && e.trace_layer->has_pixels() ? e.trace_layer : nullptr;
  const MaskDisplay& display = mask_display();
  f.overlay = mask_overlay_on(display, e) ? &display : nullptr;
  f.mask = e.mask.get();
  f.mask_stride = e.canvas_width;
  switch (scale) {
    case Scale::same:
      render_rows<Scale::same>(f, dst, dst_stride, x, y, 1, out_width, out_height);
      break;
    case Scale::reduced:
      render_rows<Scale::reduced>(f, dst, dst_stride, x, y, factor, out_width, out_height);
      break;
    case Scale::enlarged:
      render_rows<Scale::enlarged>(f, dst, dst_stride, x, y, factor, out_width, out_height);
      break;
  }
}

}  // namespace cvl
