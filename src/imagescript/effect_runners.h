// The runners behind run_effect, one family a file. Each takes the effect's values
// and packed RGBA32 pixels (size already checked to be at least 1 x 1) and returns
// false, leaving the pixels as they were, when its values cannot be used.
#pragma once

#include <cstdint>

#include "imagescript/effect_support.h"

namespace cvl::imagescript {

using Runner = bool (*)(const Values& v, uint8_t* rgba, int32_t w, int32_t h);

// effects_distort.cpp: smooth coordinate warps.
bool run_twirl(const Values& v, uint8_t* rgba, int32_t w, int32_t h);          // 6
bool run_sine_distort(const Values& v, uint8_t* rgba, int32_t w, int32_t h);   // 13
bool run_waves(const Values& v, uint8_t* rgba, int32_t w, int32_t h);          // 16
bool run_kaleidoscope(const Values& v, uint8_t* rgba, int32_t w, int32_t h);   // 49
bool run_zoom(const Values& v, uint8_t* rgba, int32_t w, int32_t h);           // 50
bool run_tilt(const Values& v, uint8_t* rgba, int32_t w, int32_t h);           // 54
// effects_tile.cpp: repeats, folds and blocks.
bool run_divider(const Values& v, uint8_t* rgba, int32_t w, int32_t h);        // 17
bool run_carpet(const Values& v, uint8_t* rgba, int32_t w, int32_t h);         // 18
bool run_voxel(const Values& v, uint8_t* rgba, int32_t w, int32_t h);          // 22
bool run_seamless(const Values& v, uint8_t* rgba, int32_t w, int32_t h);       // 52
// effects_random_warp.cpp: seeded displacements.
bool run_glass(const Values& v, uint8_t* rgba, int32_t w, int32_t h);          // 39
bool run_scratch(const Values& v, uint8_t* rgba, int32_t w, int32_t h);        // 56
// effects_relief.cpp: height-map shading and edges.
bool run_edge(const Values& v, uint8_t* rgba, int32_t w, int32_t h);           // 19
bool run_emboss(const Values& v, uint8_t* rgba, int32_t w, int32_t h);         // 23
bool run_bump(const Values& v, uint8_t* rgba, int32_t w, int32_t h);           // 27
// effects_morphology.cpp: greyscale dilation and erosion of every channel.
bool run_maximum(const Values& v, uint8_t* rgba, int32_t w, int32_t h);        // 25
bool run_minimum(const Values& v, uint8_t* rgba, int32_t w, int32_t h);        // 26
// effects_colourize.cpp
bool run_colourize(const Values& v, uint8_t* rgba, int32_t w, int32_t h);       // 28
// generate_shapes.cpp: scattered strokes and shapes.
bool run_lines(const Values& v, uint8_t* rgba, int32_t w, int32_t h);          // 1
bool run_circles(const Values& v, uint8_t* rgba, int32_t w, int32_t h);        // 2
bool run_rectangles(const Values& v, uint8_t* rgba, int32_t w, int32_t h);     // 3
bool run_points(const Values& v, uint8_t* rgba, int32_t w, int32_t h);         // 43
// generate_paths.cpp: curves that wander or branch.
bool run_splines(const Values& v, uint8_t* rgba, int32_t w, int32_t h);        // 4
bool run_worms(const Values& v, uint8_t* rgba, int32_t w, int32_t h);          // 37
bool run_trees(const Values& v, uint8_t* rgba, int32_t w, int32_t h);          // 58
bool run_fibers(const Values& v, uint8_t* rgba, int32_t w, int32_t h);         // 59
// generate_fields.cpp: textures that cover the whole picture.
bool run_plasma(const Values& v, uint8_t* rgba, int32_t w, int32_t h);         // 5
bool run_perlin(const Values& v, uint8_t* rgba, int32_t w, int32_t h);         // 11
bool run_blobs(const Values& v, uint8_t* rgba, int32_t w, int32_t h);          // 20
bool run_noise(const Values& v, uint8_t* rgba, int32_t w, int32_t h);          // 21
bool run_sine_plasma(const Values& v, uint8_t* rgba, int32_t w, int32_t h);    // 24
bool run_fractal_plasma(const Values& v, uint8_t* rgba, int32_t w, int32_t h); // 55
// generate_pattern.cpp
bool run_pattern(const Values& v, uint8_t* rgba, int32_t w, int32_t h);        // 42

}  // namespace cvl::imagescript
