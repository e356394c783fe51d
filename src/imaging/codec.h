// Image file decoding: the type is found from the file's content, never its name.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

enum class FileType { Unknown, Bmp, Jpeg, Png, Tiff, Gif, Tga, Pcx, Psd, Emf, Wmf };

FileType guess_file_type(const uint8_t* data, size_t size);
FileType guess_file_type(const char* path);

// Decodes to packed RGBA32 (out.channels == 4); false on any failure, leaving `out` empty.
bool decode_memory(const uint8_t* data, size_t size, Image& out);
bool decode_file(const char* path, Image& out);

}  // namespace cvl::imaging
