// Metafiles: pictures held as drawing records rather than pixels. We read the
// bitmap records of enhanced and placeable/standard metafiles, which is what raster
// metafiles (our own writer's among them) hold.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// Renders a metafile into packed RGB24 (out.channels == 3) on a background of
// `background_colour` (R | G << 8 | B << 16). The picture's own size is used; when it
// states none, `fallback_width` x `fallback_height`. False on anything unreadable, and for
// metafiles holding no bitmap at all (vector drawing is not rendered).
bool read_metafile(const uint8_t* data, size_t size, uint32_t background_colour, int32_t fallback_width,
                   int32_t fallback_height, Image& out);
bool read_metafile_file(const char* path, uint32_t background_colour, int32_t fallback_width,
                        int32_t fallback_height, Image& out);

}  // namespace cvl::imaging
