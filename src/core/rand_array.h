#pragma once

#include <cstdint>

#include "core/engine.h"

namespace cvl {

// Fills the table with the low bytes of rand() % modulus drawn after srand(seed)
// (the canvas's random_seed); an existing table of the same length, modulus and
// seed is reused unchanged.
void make_rand_array_byte(RandArrayByte& table, int32_t modulus, uint32_t length, int32_t seed);
void delete_rand_array_byte(RandArrayByte& table);

}  // namespace cvl
