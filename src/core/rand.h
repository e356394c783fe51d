// The engine's own 15-bit random generator.
//
// Brush patterns, grit choice and colour variation must reproduce exactly from a
// seed on every platform, so the engine never uses the C library's rand (glibc
// returns 31-bit values). This is the classic linear congruential generator with
// 15-bit results: state = state * 214013 + 2531011, result = (state >> 16) & 0x7FFF.
#pragma once

#include <cstdint>

namespace cvl {

constexpr int kRandMax = 0x7FFF;

void crt_srand(uint32_t seed);
int crt_rand();

}  // namespace cvl
