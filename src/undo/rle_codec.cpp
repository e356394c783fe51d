#include "undo/rle_codec.h"

#include <algorithm>
#include <cstring>

#include "core/canvas_geometry.h"
#include "layers/layer_stack.h"

namespace cvl {

namespace {

// The part of an element that a run stores: the high bytes of its words, as one
// integer so that a run continues on a single comparison.
template <int C>
inline uint64_t run_key(const uint16_t* p) {
  if constexpr (C == 4) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v & 0xFF00FF00FF00FF00ull;
  } else {
    return p[0] & 0xFF00u;
  }
}

template <int C>
inline uint8_t* put_run(uint8_t* o, uint32_t length, const uint16_t* p) {
  *o++ = static_cast<uint8_t>(length);
  for (int c = 0; c < C; ++c) *o++ = static_cast<uint8_t>(p[c] >> 8);
  return o;
}

template <int C>
int32_t compress(const uint16_t* in, uint8_t* out, int32_t count) {
  if (!in || !out) return 0;
  uint8_t* o = out;
  const uint16_t* first = in;
  uint64_t key = run_key<C>(first);
  uint32_t length = 1;
  for (int32_t i = 1; i < count; ++i) {
    const uint16_t* p = in + static_cast<size_t>(i) * C;
    const uint64_t k = run_key<C>(p);
    if (k == key && length < 255) {
      ++length;
      continue;
    }
    o = put_run<C>(o, length, first);
    first = p;
    key = k;
    length = 1;
  }
  o = put_run<C>(o, length, first);
  return static_cast<int32_t>(o - out);
}

template <int C>
int32_t uncompress(const uint8_t* s, size_t stream_bytes, uint16_t* out, int32_t count) {
  if (!s || !out) return 0;
  constexpr size_t kRun = C + 1;
  int32_t written = 0;
  size_t pos = 0;
  while (written < count && stream_bytes - pos >= kRun) {
    const int32_t length = std::min<int32_t>(s[pos], count - written);
    if (length == 0) break;
    uint16_t value[C];
    for (int c = 0; c < C; ++c) value[c] = static_cast<uint16_t>(s[pos + 1 + c] << 8);
    uint16_t* o = out + static_cast<size_t>(written) * C;
    for (int32_t i = 0; i < length; ++i, o += C)
      for (int c = 0; c < C; ++c) o[c] = value[c];
    written += length;
    pos += kRun;
  }
  return written;
}

// The row's first pixel and its length in pixels, or null when the row is off the layer.
uint16_t* layer_line(Engine& e, int32_t slot, int32_t row, int32_t& count) {
  Layer* layer = layer_with_pixels(e, slot);
  if (!layer) return nullptr;
  const LayerSpan span = canvas_span(e, *layer);
  if (row < 0 || row >= span.rows || span.cols == 0) return nullptr;
  count = span.cols;
  return layer_row(*layer, row);
}

uint16_t* mask_line(Engine& e, int32_t row, int32_t& count) {
  if (!e.mask || row < 0 || row >= e.canvas_height || e.canvas_width <= 0) return nullptr;
  count = e.canvas_width;
  return e.mask.get() + static_cast<size_t>(row) * static_cast<size_t>(e.canvas_width);
}

}  // namespace

int32_t rle_compress_rgba64(const uint16_t* pixels, uint8_t* out, int32_t count) {
  return compress<4>(pixels, out, count);
}
int32_t rle_compress_g16(const uint16_t* words, uint8_t* out, int32_t count) { return compress<1>(words, out, count); }

int32_t rle_uncompress_rgba32(const uint8_t* stream, size_t stream_bytes, uint16_t* pixels, int32_t count) {
  return uncompress<4>(stream, stream_bytes, pixels, count);
}
int32_t rle_uncompress_g8(const uint8_t* stream, size_t stream_bytes, uint16_t* words, int32_t count) {
  return uncompress<1>(stream, stream_bytes, words, count);
}

int32_t get_layer_line_rle(Engine& e, uint8_t* out, int32_t slot, int32_t row) {
  int32_t count = 0;
  const uint16_t* line = layer_line(e, slot, row, count);
  return line ? compress<4>(line, out, count) : 0;
}

int32_t put_layer_line_rle(Engine& e, const uint8_t* stream, size_t stream_bytes, int32_t slot, int32_t row) {
  int32_t count = 0;
  uint16_t* line = layer_line(e, slot, row, count);
  return line ? uncompress<4>(stream, stream_bytes, line, count) : 0;
}

int32_t get_mask_line_rle(Engine& e, uint8_t* out, int32_t row) {
  int32_t count = 0;
  const uint16_t* line = mask_line(e, row, count);
  return line ? compress<1>(line, out, count) : 0;
}

int32_t put_mask_line_rle(Engine& e, const uint8_t* stream, size_t stream_bytes, int32_t row) {
  int32_t count = 0;
  uint16_t* line = mask_line(e, row, count);
  return line ? uncompress<1>(stream, stream_bytes, line, count) : 0;
}

}  // namespace cvl
