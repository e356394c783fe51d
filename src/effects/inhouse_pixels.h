// Pixel access for the in-house effects. Reads come from the source or, with the
// copy flag set, from the destination itself (so a pass sees its own writes);
// writes always go to the destination. Outside the canvas a read gives 0 in
// every channel and a write is dropped; written values are clamped to 0..255.
//
// The inner loops of the passes skip these checks where their ranges keep every
// access inside; the checked forms are for the edges and the odd lookups.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "effects/inhouse_effects.h"

namespace cvl {

using Rgba = std::array<int32_t, 4>;

// The two 32-bit IPL buffers an effect works on, both width x height RGBA, and
// the canvas and tool they belong to (for the few effects that read the mask,
// the current layer or the paint colour).
struct InhouseImages {
  uint8_t* src = nullptr;
  uint8_t* dst = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  Engine* canvas = nullptr;
  const ToolSettings* tool = nullptr;
};

inline uint8_t clamp_byte(int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// (R + G + B) / 3 on the bytes of one pixel.
inline int32_t luminance(const uint8_t* p) { return (p[0] + p[1] + p[2]) / 3; }
inline int32_t luminance(const Rgba& p) { return (p[0] + p[1] + p[2]) / 3; }

class PixelReader {
 public:
  PixelReader(const InhouseParams& p, const InhouseImages& im)
      : base_(p.copy ? im.dst : im.src), width_(im.width), height_(im.height) {}

  bool inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  // Unchecked: the caller keeps (x, y) on the canvas.
  const uint8_t* at(int32_t x, int32_t y) const {
    return base_ + (static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) * 4;
  }
  Rgba read(int32_t x, int32_t y) const {
    if (!inside(x, y)) return {0, 0, 0, 0};
    const uint8_t* q = at(x, y);
    return {q[0], q[1], q[2], q[3]};
  }
  int32_t luminance_at(int32_t x, int32_t y) const { return inside(x, y) ? luminance(at(x, y)) : 0; }
  const uint8_t* data() const { return base_; }

 private:
  const uint8_t* base_;
  int32_t width_, height_;
};

class PixelWriter {
 public:
  explicit PixelWriter(const InhouseImages& im) : base_(im.dst), width_(im.width), height_(im.height) {}

  uint8_t* at(int32_t x, int32_t y) const {
    return base_ + (static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) * 4;
  }
  void write(int32_t x, int32_t y, int32_t r, int32_t g, int32_t b, int32_t a) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    uint8_t* q = at(x, y);
    q[0] = clamp_byte(r);
    q[1] = clamp_byte(g);
    q[2] = clamp_byte(b);
    q[3] = clamp_byte(a);
  }
  void write(int32_t x, int32_t y, const Rgba& c) const { write(x, y, c[0], c[1], c[2], c[3]); }

 private:
  uint8_t* base_;
  int32_t width_, height_;
};

// A double truncated toward zero and held to 0..255, the way every in-house
// formula's result reaches a byte. Out-of-range values saturate before the
// conversion so that wild slider values cannot overflow it.
inline int32_t trunc_to_byte(double v) {
  if (!(v > 0.0)) return 0;  // also NaN
  if (v >= 255.0) return 255;
  return static_cast<int32_t>(v);
}

// A double truncated toward zero, saturating at the int range (and 0 for NaN),
// for intermediate integers such as divisors made from sliders.
inline int32_t trunc_to_int(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int32_t>(v);
}

}  // namespace cvl
