// The picture size a file's header states, read without decoding: a file the
// engine refuses can then be told apart as too large rather than damaged.
#pragma once

#include <cstdint>

namespace corvel_tool {

// Width and height from the header of a PNG, JPEG, GIF, BMP, PSD, WebP, TIFF, PCX
// or TGA file (`type` as CVL_GetFileTypeName names it); false when not found.
bool stated_size(const char* path, const char* type, int64_t& width, int64_t& height);

}  // namespace corvel_tool
