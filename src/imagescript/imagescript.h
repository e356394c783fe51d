// The image-script library: numbered effects run on RGBA32 images in place, and
// rendering of image-script files (a small text format, described in the README).
#pragma once

#include <cstdint>
#include <string>

#include "imaging/image_view.h"

namespace cvl::imagescript {

enum class ScriptResult { Ok, NotAScript, Failed };

// Header values of a script: [0] format version, [1] number of drawing commands,
// [2] seed, [4] rendered width, [5] rendered height; the others are 0.
inline constexpr int kHeaderSize = 8;

// Reads a script's header values; false when the path is not a readable script.
bool read_script_header(const char* path, int32_t header[8]);
// Renders a script file into a packed RGBA32 image of the header's size. NotAScript
// when the file is missing or does not start as a script (callers then read it as an
// image file); Failed when it is a script that cannot be run.
ScriptResult render_script(const char* path, imaging::Image& out);
// The same from script text already in memory.
ScriptResult render_script_text(const std::string& text, imaging::Image& out);

// Runs built-in effect `effect` on packed RGBA32 pixels in place. `values` holds the
// effect's values from value index 3 onward (values[0] is value 3). False for an
// unknown effect or unusable arguments, leaving the pixels unchanged.
bool run_effect(int32_t effect, const int32_t* values, int32_t value_count, uint8_t* rgba, int32_t width,
                int32_t height);

// True when effect `effect` makes each channel of a pixel from that same channel of
// its input alone, by one rule for all four: a copy, a resample or a blend whose
// weights never look at the pixels. A plane carried in any channel then comes out
// exactly as it would in any other, so a caller that moves alpha alongside colour
// needs no separate pass for it. Rotation (51) weighs its samples by alpha and so
// is not one of them.
bool moves_channels_alike(int32_t effect);

// Effect 51: rotation in place about the centre by whole degrees (positive turns
// counter-clockwise on screen), size unchanged, bilinear, uncovered pixels transparent.
// Value 4 of the effect is a scale in percent (100 keeps the size).
bool rotate_in_place(uint8_t* rgba, int32_t width, int32_t height, int32_t degrees, int32_t scale_percent = 100);

}  // namespace cvl::imagescript
