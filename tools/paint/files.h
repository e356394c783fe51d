// Opening and saving pictures through the engine's own file calls.
#pragma once

#include <string>

namespace corvel_paint {

// Decodes a picture into the engine's new-RGBA buffer; its size, or false.
bool read_picture(const std::string& path, int& width, int& height);
// Puts the picture read last into the current layer and frees the buffer.
void place_picture();
// Flattens the visible layers into a file whose name picks the format (.png, .bmp and
// .jpg without alpha, .tga and .tif with it). True when the file was written.
bool save_picture(const std::string& path);

}  // namespace corvel_paint
