// The image-script library: numbered effects run on RGBA32 images in place, and
// rendering of image-script files.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imagescript {

enum class ScriptResult { Ok, NotAScript, Failed };

// Reads a script's header values; element 4 is the rendered width, element 5 the height.
bool read_script_header(const char* path, int32_t header[8]);
// Renders a script file into a packed RGBA32 image of the header's size.
ScriptResult render_script(const char* path, imaging::Image& out);

// Runs built-in effect `effect` with `values` (value index 3 onward) on packed RGBA32 pixels.
bool run_effect(int32_t effect, const int32_t* values, int32_t value_count, uint8_t* rgba, int32_t width,
                int32_t height);

// Effect 51: rotation in place about the centre by whole degrees, size unchanged,
// bilinear, uncovered pixels transparent.
bool rotate_in_place(uint8_t* rgba, int32_t width, int32_t height, int32_t degrees);

}  // namespace cvl::imagescript
