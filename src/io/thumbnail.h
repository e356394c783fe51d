// Small pictures made from image files: a 100-pixel BMP thumbnail and a
// size-limited JPEG for the web. Neither ever grows the image's aspect out of shape.
#pragma once

#include <cstdint>

#include "core/last_error.h"

namespace cvl {

struct PictureSize {
  int32_t width = 0;
  int32_t height = 0;
};

// The longer side becomes 100, the other keeps the aspect (truncated, at least 1).
PictureSize thumbnail_size(int32_t width, int32_t height);
// Fits width x height within max_width x max_height keeping the aspect; never grows.
PictureSize web_picture_size(int32_t width, int32_t height, int32_t max_width, int32_t max_height);

// Both write nothing when the source cannot be read; empty when the picture was
// written, else why not.
FailureCause make_thumbnail(const char* src_path, const char* dst_path);
FailureCause make_web_picture(const char* src_path, const char* dst_path, int32_t max_width, int32_t max_height);

}  // namespace cvl
