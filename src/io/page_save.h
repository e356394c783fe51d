// Saving the flattened canvas ("page") to a file one row at a time: the visible
// layers are flattened a row at a time and each row is handed to a line writer, so
// the whole flattened canvas never exists in memory.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

// 8-bit RGB: ".bmp" (bottom row first), ".png", ".jpg". Other extensions write nothing.
void save_page_rgb24(Engine& e, const char* path, const char* ext, int32_t dpi);
// 8-bit RGBA: ".png", ".tga", ".tif". Other extensions write nothing.
void save_page_rgb32(Engine& e, const char* path, const char* ext, int32_t dpi);

}  // namespace cvl
