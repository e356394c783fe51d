// Saving the flattened canvas ("page") to a file one row at a time: the visible
// layers are flattened a row at a time and each row is handed to a line writer, so
// the whole flattened canvas never exists in memory.
#pragma once

#include <cstdint>

#include "core/last_error.h"

namespace cvl {

struct Engine;

// 8-bit RGB: ".bmp" (bottom row first), ".png", ".jpg". Other extensions write nothing.
// Empty when the page was written, else why not.
FailureCause save_page_rgb24(Engine& e, const char* path, const char* ext, int32_t dpi);
// 8-bit RGBA: ".png", ".tga", ".tif". Other extensions write nothing.
FailureCause save_page_rgb32(Engine& e, const char* path, const char* ext, int32_t dpi);

}  // namespace cvl
