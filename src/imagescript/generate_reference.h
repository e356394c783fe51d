// The plain twins of the generators whose drawing is sped up (see
// generate_reference.cpp): same values, same pixels, one pixel at a time.
#pragma once

#include <cstdint>

#include "imagescript/effect_support.h"

namespace cvl::imagescript {

bool run_lines_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);           // 1
bool run_circles_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);         // 2
bool run_rectangles_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);      // 3
bool run_splines_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);         // 4
bool run_perlin_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);          // 11
bool run_blobs_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);           // 20
bool run_sine_plasma_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);     // 24
bool run_worms_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);           // 37
bool run_points_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);          // 43
bool run_fractal_plasma_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);  // 55
bool run_trees_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);           // 58
bool run_fibers_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);          // 59

}  // namespace cvl::imagescript
