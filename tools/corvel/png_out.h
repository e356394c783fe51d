#pragma once

#include <cstdint>

namespace corvel_tool {

// Writes packed RGBA32 pixels as an 8-bit RGBA PNG; false on failure.
bool write_png_rgba(const char* path, const uint8_t* rgba, int width, int height);

}  // namespace corvel_tool
