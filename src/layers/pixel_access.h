// Loading caller images into layers, reading layers back and probing pixels.
// Every function addresses a layer as a canvas-sized image (canvas width, height and
// row stride, see CanvasPlane), cut off where a layer left at an old size after a
// canvas resize holds fewer pixels, so that it is never overrun.
#pragma once

#include <cstdint>

#include "core/engine.h"

namespace cvl {

// The current layer when one is set and holds pixels, else null.
Layer* current_layer_with_pixels(const Engine& e);

// Loading into layers.
void load_bgr(Engine& e, const uint8_t* src, int32_t src_stride, int32_t width, int32_t height);
void load_rgb24(Engine& e, const uint8_t* src, int32_t src_stride, bool use_selection);
void load_rgb24_to_alpha(Engine& e, const uint8_t* src, int32_t src_stride, bool use_selection);
int32_t set_rgba64_layer(Engine& e, const uint16_t* src, int32_t src_stride, int32_t slot);
void set_layer_data(Engine& e, const uint16_t* src, int32_t slot);
void copy_layer_data(Engine& e, int32_t from, int32_t to);
void set_pixel_rgb24(const Engine& e, uint8_t* buffer, int32_t stride, int32_t x, int32_t y, uint16_t r, uint16_t g,
                     uint16_t b);
void clear_current(Engine& e, uint8_t r, uint8_t g, uint8_t b, uint8_t a);
void clear_masked(Engine& e, uint8_t r, uint8_t g, uint8_t b, uint8_t a);

// Reading layers.
int32_t get_rgb24_layer(const Engine& e, uint8_t* dst, int32_t dst_stride, const Layer* layer);
int32_t get_rgba32_layer(const Engine& e, uint8_t* dst, int32_t dst_stride, const Layer* layer);
void get_rgb24_from_alpha(const Engine& e, uint8_t* dst, int32_t dst_stride);
void get_rgba64_layer_rect(Engine& e, uint16_t* dst, int32_t dst_stride, int32_t slot, int32_t x, int32_t y,
                           int32_t width, int32_t height);
void get_layer_data(Engine& e, uint16_t* dst, int32_t slot);
void find_data_extents(Engine& e, int32_t slot, int32_t* left, int32_t* top, int32_t* right, int32_t* bottom);

// Probes. `channel` is 0..3 for R, G, B, A.
int32_t get_channel64(const Engine& e, int32_t x, int32_t y, int channel);
int32_t get_mask64(const Engine& e, int32_t x, int32_t y);
void get_mask_data16(const Engine& e, uint16_t* dst);
void set_mask_data16(Engine& e, const uint16_t* src);
// On a canvas-sized caller image (the under-layer buffer is one too).
int32_t get_rgba_at(const Engine& e, int32_t x, int32_t y, const uint16_t* image);
int32_t get_colour_at(const Engine& e, int32_t x, int32_t y, const uint16_t* image);
// On a layer; 0 when it is null or has no pixels.
int32_t get_rgba_at(const Engine& e, int32_t x, int32_t y, const Layer* layer);
int32_t get_colour_at(const Engine& e, int32_t x, int32_t y, const Layer* layer);

}  // namespace cvl
