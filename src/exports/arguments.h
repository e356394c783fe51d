// How exports read their integer arguments: flags by their low byte, 8-bit
// colour components by their low 8 bits.
#pragma once

#include <cstdint>

namespace cvl {

inline bool low_byte_set(int32_t flag) { return (flag & 0xFF) != 0; }
inline uint8_t u8(int32_t v) { return static_cast<uint8_t>(v); }

}  // namespace cvl
