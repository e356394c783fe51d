// Writing a picture file row by row, and saying why it failed: the causes that
// exports with no result of their own put in the last-error text.
#pragma once

#include <cstdint>
#include <functional>

#include "codecs/encode.h"
#include "core/last_error.h"

namespace cvl {

// Hands `height` rows of `width` x `channels` bytes to a line writer for `path`, asking
// `row(y)` for each in the order the format stores them (bottom first for BMP). A
// null row stops the file. Empty when the file is complete, else "cannot create PATH:
// REASON" or "cannot write PATH: REASON".
FailureCause write_picture_rows(imaging::LineFormat format, const char* path, int32_t width, int32_t height,
                                int32_t channels, const imaging::LineWriterOptions& options,
                                const std::function<const uint8_t*(int32_t y)>& row);

// The same for a whole picture in memory.
FailureCause write_picture(imaging::LineFormat format, const char* path, const imaging::ImageView& picture,
                           const imaging::LineWriterOptions& options = {});

}  // namespace cvl
