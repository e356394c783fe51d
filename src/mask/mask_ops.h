// Operations on the whole mask plane: clear, invert, and the grey RGB24 image
// form the host keeps selections in (protected parts white, open parts black).
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

// r, g, b on the 16-bit scale; their mean a sets every word: open (65535) for
// a <= 255, else 65280 - a, fully protected from a = 65280 up.
void clear_mask(Engine& e, int32_t r, int32_t g, int32_t b);
void invert_mask(Engine& e);

// Bytes in the mask plane (canvas width * height * 2, 0 without a canvas): what
// the data copies move.
int32_t mask_data_bytes(const Engine& e);

// Writes 255 - (M >> 8) into the three channels of each canvas pixel.
void save_mask(const Engine& e, uint8_t* rgb, int32_t pitch);
// Reads width * height pixels (cut to the canvas): v = mean * 256 sets M to
// 65535 for a black pixel, else 65280 - v.
void load_mask(Engine& e, const uint8_t* rgb, int32_t pitch, int32_t width, int32_t height);

}  // namespace cvl
