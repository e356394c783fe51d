// Image file decoding: the type is found from the file's content, never its name.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

enum class FileType { Unknown, Bmp, Jpeg, Png, Tiff, Gif, Tga, Pcx, Psd, Emf, Wmf, Webp };

FileType guess_file_type(const uint8_t* data, size_t size);
FileType guess_file_type(const char* path);

// Decodes to packed RGBA32 (out.channels == 4); false on any failure, leaving `out` empty.
// Metafiles are not raster files: they are rendered by read_metafile (metafile.h).
bool decode_memory(const uint8_t* data, size_t size, Image& out);
bool decode_file(const char* path, Image& out);

// Unit of a stored resolution, as the file states it.
enum class ResolutionUnit : int32_t { None = 0, PerInch = 1, PerCentimetre = 2, PerMetre = 3 };

struct Resolution {
  double x = 0;
  double y = 0;
  ResolutionUnit unit = ResolutionUnit::None;
};

// Size and stored resolution of a file as decoding hands it back (turned upright),
// read from its header without decoding the pixels.
struct ImageInfo {
  FileType type = FileType::Unknown;
  int32_t width = 0;
  int32_t height = 0;
  Resolution resolution;     // unit None when the file states none
  uint16_t orientation = 1;  // the turn applied on decoding (1 to 8, see orientation.h)
};

bool probe_memory(const uint8_t* data, size_t size, ImageInfo& info);
bool probe_file(const char* path, ImageInfo& info);

// Reads a whole file into memory, refusing files larger than `max_bytes`.
bool read_whole_file(const char* path, std::vector<uint8_t>& bytes, size_t max_bytes = size_t(1) << 31);

}  // namespace cvl::imaging
