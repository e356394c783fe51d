// Plain twins of the distortions and reliefs that have faster versions: one thread, one pixel
// at a time, every value computed where the simplest reading of the effect puts it.
// The differential tests hold the fast runners to the same bytes.
#pragma once

#include "imagescript/effect_support.h"

namespace cvl::imagescript {

bool run_sine_distort_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);  // 13
bool run_glass_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);         // 39
bool run_kaleidoscope_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);  // 49
bool run_divider_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);       // 17
bool run_zoom_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);          // 50
bool run_emboss_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);        // 23
bool run_bump_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);          // 27

}  // namespace cvl::imagescript
