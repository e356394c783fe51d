// What the Lua functions work on during one filter run: the RGBA32 source and
// destination working images, the canvas size, the flag that makes getters
// read the destination so a script sees its own writes, and the canvas and tool
// settings the run was given (the current layer, the mask, the paint colours).
//
// The run owns the record and hands it to every function it installs as that
// function's one upvalue, so a pixel call costs one upvalue read and one bounds
// test, and two runs never share one.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace cvl {

struct Engine;
struct ToolSettings;

struct FilterImages {
  uint8_t* src = nullptr;
  uint8_t* dst = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  uint8_t single_buffer = 0;
  Engine* canvas = nullptr;
  const ToolSettings* tool = nullptr;
};

// A Lua number as a coordinate or integer argument: truncated toward zero.
// Values that do not fit (and NaN) become INT32_MIN, the processor's own
// answer for an out-of-range conversion, instead of undefined behaviour; as a
// coordinate that is always outside the canvas.
inline int32_t trunc_to_int32(double v) {
  if (v > -2147483649.0 && v < 2147483648.0) return static_cast<int32_t>(v);
  return INT32_MIN;
}

// The low 32 bits of trunc(v) as a signed two's-complement value; the exact
// modular reduction keeps large operands of the bit functions meaningful.
inline int32_t low32_of_trunc(double v) {
  if (!std::isfinite(v)) return 0;
  const double t = std::trunc(v);
  if (t > -2147483649.0 && t < 2147483648.0) return static_cast<int32_t>(t);
  double m = std::fmod(t, 4294967296.0);  // exact
  if (m < 0) m += 4294967296.0;
  return static_cast<int32_t>(static_cast<uint32_t>(m));
}

// A byte as a Lua fraction; the constant is the engine's 1/255, kept as written.
constexpr double kUnitPerByte = 0.00392156862745098;

inline bool inside_canvas(const FilterImages& f, int32_t x, int32_t y) {
  return x >= 0 && y >= 0 && x < f.width && y < f.height;
}

inline size_t pixel_offset(const FilterImages& f, int32_t x, int32_t y) {
  return (static_cast<size_t>(y) * static_cast<size_t>(f.width) + static_cast<size_t>(x)) * 4;
}

// The pixel a getter reads (the destination while single-buffer mode is on),
// or null outside the canvas.
inline const uint8_t* pixel_to_read(const FilterImages& f, int32_t x, int32_t y) {
  if (!inside_canvas(f, x, y)) return nullptr;
  return (f.single_buffer ? f.dst : f.src) + pixel_offset(f, x, y);
}

// The destination pixel a setter writes, or null outside the canvas.
inline uint8_t* pixel_to_write(const FilterImages& f, int32_t x, int32_t y) {
  if (!inside_canvas(f, x, y)) return nullptr;
  return f.dst + pixel_offset(f, x, y);
}

}  // namespace cvl
