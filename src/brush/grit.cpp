#include "brush/grit.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/tool_settings.h"
#include "core/engine.h"
#include "core/rand.h"
#include "codecs/codec.h"
#include "imaging/overlay.h"
#include "imaging/geometry/resample.h"
#include "imagescript/imagescript.h"

namespace cvl {

namespace {

constexpr int32_t kGritMargin = 25;      // patterns are this much wider than the brush
constexpr int32_t kScriptTileEdge = 600;  // a script's tile is repeated over this square

// Reads a random table from a drawn start onwards. A start near the end of the
// table with a long run of dots would read past it; the run continues from the
// table's first byte instead, which changes nothing for runs that fit.
class TableCursor {
 public:
  TableCursor(const RandArrayByte& table, int64_t start)
      : data_(table.data.get()), length_(table.length) {
    const int64_t len = static_cast<int64_t>(length_);
    pos_ = static_cast<uint32_t>(((start % len) + len) % len);
  }
  uint8_t next() {
    const uint8_t b = data_[pos_];
    if (++pos_ == length_) pos_ = 0;
    return b;
  }

 private:
  const uint8_t* data_;
  uint32_t length_;
  uint32_t pos_;
};

bool has_grit_buffers(const Engine& e) {
  return std::all_of(e.grit_buffers.begin(), e.grit_buffers.end(), [](const Buffer<uint8_t>& b) {
    return static_cast<bool>(b);
  });
}

size_t grit_buffer_bytes(const Engine& e) {
  const size_t edge = static_cast<size_t>(e.brush_capacity) + kGritMargin;
  return edge * edge;
}

void fill_blank(Engine& e, int32_t k) {
  std::memset(e.grit_buffers[static_cast<size_t>(k)].get(), 255, grit_buffer_bytes(e));
}

// The pattern edge: brush_size + 25, kept within the buffer when a brush larger
// than the canvas's brush capacity is set.
int32_t pattern_edge(const Engine& e, const ToolSettings& t) {
  return std::min(t.brush_size, e.brush_capacity) + kGritMargin;
}

// One row band of dot cells. Bytes of `p` decide which cells get a dot and which
// of its pixels are set; each dot takes its value from `v`. A byte of `p` is
// consumed only for positions inside the edge x edge square.
void dot_row(const ToolSettings& t, uint8_t* pattern, int32_t stride, int32_t edge, int32_t r, TableCursor& p,
             TableCursor& v) {
  const int32_t n = t.grit_dot_size;
  for (int32_t c = 0; c < edge; c += n) {
    if (p.next() >= t.grit_dot_chance) continue;
    const uint8_t dot = v.next();
    // Only the dot's part inside the square is visited (and consumes bytes).
    const int32_t rows = std::min(n, edge - r), cols = std::min(n, edge - c);
    for (int32_t dy = 0; dy < rows; ++dy) {
      uint8_t* out = pattern + static_cast<size_t>(r + dy) * static_cast<size_t>(stride) + static_cast<size_t>(c);
      for (int32_t dx = 0; dx < cols; ++dx)
        if (p.next() < t.grit_dot_fill) out[dx] = dot;
    }
  }
}

// A script's render repeated over a 600 x 600 square, so that small procedural
// tiles still leave room for a random window.
bool render_tiled_script(const char* path, imaging::Image& out) {
  imaging::Image tile;
  if (imagescript::render_script(path, tile) != imagescript::ScriptResult::Ok || tile.width <= 0 || tile.height <= 0)
    return false;
  out.width = out.height = kScriptTileEdge;
  out.pixels.assign(static_cast<size_t>(kScriptTileEdge) * kScriptTileEdge * 4, 0);
  for (int32_t y = 0; y < kScriptTileEdge; y += tile.height)
    for (int32_t x = 0; x < kScriptTileEdge; x += tile.width)
      imaging::overlay_image(out.pixels.data(), kScriptTileEdge, kScriptTileEdge, kScriptTileEdge * 4,
                             tile.pixels.data(), tile.width, tile.height, tile.width * 4, x, y, 4);
  return true;
}

// Loads the grit source, a script or else an image file, as one grey byte per pixel.
bool load_grey_source(const char* path, std::vector<uint8_t>& grey, int32_t& width, int32_t& height) {
  imaging::Image source;
  const bool loaded = render_tiled_script(path, source) ||
                      (imaging::decode_file(path, source) && source.width > 0 && source.height > 0);
  if (!loaded) return false;
  width = source.width;
  height = source.height;
  grey.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  imaging::to_grey8(source.view(), {grey.data(), width, height, 1, width});
  return true;
}

}  // namespace

GritPosition& current_grit() {
  static GritPosition position;
  return position;
}

const uint8_t* grit_bytes(const Engine& e, const GritPosition& g) {
  const uint8_t* base = e.grit_buffers[static_cast<size_t>(g.buffer)].get();
  return base ? base + g.offset : nullptr;
}

void build_random_grit(Engine& e, const ToolSettings& t, GritPosition& g) {
  const int32_t n = t.grit_dot_size;
  // A negative dot size would never step across the pattern.
  if (n <= 0 || !has_grit_buffers(e) || e.rand_255.length == 0 || e.rand_254.length == 0) return;
  const int32_t edge = pattern_edge(e, t);
  const int32_t k_stride = e.brush_capacity;
  const int64_t p_span = (1000000 - 2 * static_cast<int64_t>(n)) / 32767;
  const int64_t v_span = (1000000 - static_cast<int64_t>(n)) / 32767;
  for (int32_t k = 0; k < kGritBuffers; ++k) {
    g = {k, 0};
    fill_blank(e, k);
    uint8_t* pattern = e.grit_buffers[static_cast<size_t>(k)].get();
    for (int32_t r = 0; r < edge; r += n) {
      TableCursor p(e.rand_255, crt_rand() * p_span);
      TableCursor v(e.rand_254, crt_rand() * v_span);
      dot_row(t, pattern, k_stride, edge, r, p, v);
    }
  }
  e.drawing_length = t.drawing_length_reset;
}

bool build_grit_from_source(Engine& e, const ToolSettings& t, const char* path) {
  if (!has_grit_buffers(e)) return false;
  std::vector<uint8_t> grey;
  int32_t w = 0, h = 0;
  if (!load_grey_source(path, grey, w, h)) return false;
  const int32_t window = t.brush_size + kGritMargin;
  const int32_t k_edge = e.brush_capacity;
  // A source no larger than the window has no position to cut it from: the
  // patterns stay blank rather than dividing by a zero or negative range.
  const bool fits = w - window > 0 && h - window > 0;
  for (int32_t k = 0; k < kGritBuffers; ++k) {
    fill_blank(e, k);
    if (!fits) continue;
    const int32_t x = crt_rand() % (w - window);
    const int32_t y = crt_rand() % (h - window);
    const uint8_t* src = grey.data() + static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
    imaging::overlay_image(e.grit_buffers[static_cast<size_t>(k)].get(), k_edge, k_edge, k_edge, src, window,
                           window, w, 0, 0, 1);
  }
  e.drawing_length = t.drawing_length_reset;
  return true;
}

}  // namespace cvl
