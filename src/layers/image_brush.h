// The image brush: a small picture stamped instead of a flat colour. The picture is
// kept at 16 bits per channel, scaled to the brush size, optionally turned, and mixed
// into the blend buffer, from which dabs take colour (and, in image brush mode,
// coverage). A strip of square frames side by side can feed the picture one frame
// per dab. Every image here belongs to the process, not to a canvas.
#pragma once

#include <cstdint>

#include "core/buffer.h"

namespace cvl {

struct Engine;
struct ToolSettings;

struct ImageBrush {
  Buffer<uint16_t> picture;  // width x height RGBA64, each edge at most brush_capacity
  int32_t width = 0;
  int32_t height = 0;
  Buffer<uint16_t> sized;  // sized_edge^2 RGBA64: the picture at the brush size
  int32_t sized_edge = 0;
  Buffer<uint8_t> unrotated;  // copies_edge^2 RGBA32: the sized picture narrowed
  Buffer<uint8_t> rotated;    // copies_edge^2 RGBA32: the last rotation
  int32_t copies_edge = 0;
  uint8_t rotation_ready = 0;  // the two RGBA32 copies match the sized picture
  Buffer<uint16_t> strip;      // strip_width x strip_height RGBA64 frames
  int32_t strip_width = 0;
  int32_t strip_height = 0;
  int32_t frame_count = 0;  // strip_width / strip_height

  bool has_picture() const { return picture && width > 0 && height > 0; }
  bool has_sized() const { return sized && sized_edge > 0; }
};

ImageBrush& image_brush();
// Drops every image (a fresh process, for tests).
void reset_image_brush();

// The picture. Loads return 1 when the picture was replaced; an image wider or taller
// than brush_capacity, or one that cannot be read, leaves it as it was.
int32_t load_image_brush(const Engine& e, const char* path);
int32_t load_image_brush_rgba32(const Engine& e, const uint8_t* rgba, int32_t width, int32_t height);
// Loads a strip of frames; the picture becomes an empty frame-sized square.
int32_t load_image_brush_array(const Engine& e, const char* path);
// Copies frame trunc(frame_count * x) of the strip into the picture; 1 when copied.
int32_t copy_from_image_brush_array(float x);
// Writes the picture as an RGBA PNG at 2834 pixels per metre; 1 when written.
int32_t save_image_brush(const char* path);
// A new brush_size square picture of one opaque colour (8-bit values widened by 257);
// returns its edge.
int32_t fill_image_brush(const ToolSettings& t, uint8_t r, uint8_t g, uint8_t b);
// Recolours the picture keeping its alpha (a brush_size square of white first if
// there is none); returns the picture's rows.
int32_t colour_image_brush(const ToolSettings& t, uint8_t r, uint8_t g, uint8_t b);
// A new brush_size square picture from the blend buffer's top-left corner; returns its edge.
int32_t copy_to_image_brush(const Engine& e, const ToolSettings& t);

// Makes the sized picture for the current brush_size and clears the rotation flag;
// returns the sized edge, 0 without a picture.
int32_t size_image_brush(const ToolSettings& t);
// Turns the sized picture by 360 - degrees into the rotated copy; 1 when both turns
// succeeded and the copy is ready to mix.
int32_t rotate_image_brush(int32_t degrees);
// Mixes the sized picture into the blend buffer at a strength in percent; returns
// the sized edge. The caller sizes first.
int32_t mix_image_brush(const Engine& e, int32_t strength_percent);
// Mixes the rotated copy into the blend buffer, once a rotation has been made for
// the current sizing; returns the edge mixed, 0 when nothing was.
int32_t mix_rotated_image_brush(const Engine& e, int32_t strength_percent);

}  // namespace cvl
