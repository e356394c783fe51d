// Reading image files: into the new-RGBA buffer, into caller buffers of a known
// size, and probing a file's resolution.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl {

struct Engine;
struct ToolSettings;

// The file's horizontal resolution in dots per inch, snapped to one of the common
// values (96, 150, 200, 300, 450, 600); 72 for anything else, for files that state
// none, and for files that cannot be read.
int32_t dpi_from_file(const char* path);
// The snapping step on its own, for a resolution already in whole dots per inch.
int32_t snap_dpi(int64_t dpi);

// Decodes any supported file to packed RGBA32. Metafiles are rendered on the current
// paint colour, opaque, at their own size (or the canvas size when they state none).
bool decode_image_file(const Engine& e, const ToolSettings& t, const char* path, imaging::Image& out);

// 1 when the new-RGBA buffer now holds the file's image, else 0 (buffer untouched).
int32_t read_from_file(const Engine& e, const ToolSettings& t, const char* path);
// 1 when the file is exactly width x height and its pixels were copied into dst as
// packed RGB24 or RGBA32 (channels 3 or 4); else 0 with dst untouched.
int32_t read_from_file_into(const Engine& e, const ToolSettings& t, uint8_t* dst, int32_t width, int32_t height,
                            const char* path, int channels);

// The turn reading applies to the file (1 to 8, 1 upright as stored); 0 when it cannot
// be read. Metafiles and the formats without an orientation tag give 1.
int32_t file_orientation(const char* path);

// A short upper-case name of the file's format found from its content ("PNG", "JPG",
// "TIFF", "BMP", "GIF", "TGA", "PCX", "PSD", "EMF", "WMF"); "" when unknown or unreadable.
const char* file_type_name(const char* path);

}  // namespace cvl
