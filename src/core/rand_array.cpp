#include "core/rand_array.h"

#include "core/rand.h"

namespace cvl {

void make_rand_array_byte(RandArrayByte& table, int32_t modulus, uint32_t length, int32_t seed) {
  if (table.data && table.length == length && table.modulus == modulus && table.seed == seed) return;
  delete_rand_array_byte(table);
  crt_srand(static_cast<uint32_t>(seed));
  table.data = Buffer<uint8_t>(length);
  uint8_t* out = table.data.get();
  // A zero modulus would divide by zero; such a table holds zeros.
  for (uint32_t i = 0; i < length; ++i)
    out[i] = modulus != 0 ? static_cast<uint8_t>(crt_rand() % modulus) : 0;
  table.length = length;
  table.modulus = modulus;
  table.seed = seed;
}

void delete_rand_array_byte(RandArrayByte& table) {
  table.data.reset();
  table.length = 0;
}

}  // namespace cvl
