// The new-RGBA buffer: the one engine-held 8-bit RGBA image that file reads (and,
// later, clipboard paste, screen capture and scanning) fill, and that the host reads
// back or loads into the current layer.
#pragma once

#include <cstdint>

#include "core/buffer.h"

namespace cvl {

struct Engine;

struct NewRgba {
  Buffer<uint8_t> pixels;  // R, G, B, A bytes, packed rows; empty when there is no image
  int32_t width = 0;       // of the last image made, kept after deletion
  int32_t height = 0;
};

NewRgba& new_rgba();

// Frees the present image, stores the new size and allocates width x height x 4
// bytes (contents undefined). Returns the pixels, or null when the allocation
// failed, in which case "CreateNewRGBA Excpt" is recorded and the size stays stored.
uint8_t* create_new_rgba(int32_t width, int32_t height);
void delete_new_rgba();

// 1 when some pixel's alpha is below 255; 0 when all are opaque or there is no image.
int32_t is_new_rgba_transparent();
// Loads the image into the current layer through the selection; the loader's result.
int32_t set_in_new_rgba(Engine& e);
// Copies the image out as packed RGBA32 or RGB24; nothing when there is no image.
void get_new_rgba32(uint8_t* dst);
void get_new_rgba24(uint8_t* dst);
// A copy scaled to width x height as packed RGB24: averaged when it shrinks both
// ways, else resampled bilinearly.
void get_resized_new_rgba24(uint8_t* dst, int32_t width, int32_t height);

}  // namespace cvl
