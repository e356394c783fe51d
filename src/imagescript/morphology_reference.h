// The plain twins of the square maximum and minimum runners (effects 25 and 26).
#pragma once

#include <cstdint>

#include "imagescript/effect_support.h"

namespace cvl::imagescript {

bool run_maximum_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);
bool run_minimum_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h);

}  // namespace cvl::imagescript
