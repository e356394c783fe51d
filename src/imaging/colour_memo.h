// A small direct-mapped cache of a colour-to-colour function, for conversions that
// cost many times a table lookup (a round trip through Lab, HSL or HSV). Painted
// pictures repeat their colours, so most pixels find theirs; a colour that is not
// there is converted and kept. The answer is the function's own, hit or miss.
// One memo belongs to one thread (a band keeps its own).
#pragma once

#include <cstdint>
#include <vector>

namespace cvl::imaging {

class ColourMemo {
 public:
  ColourMemo() : keys_(kSlots, 0), values_(kSlots, 0) {}

  // convert(r, g, b) returns the new colour packed as r | g << 8 | b << 16.
  template <class Convert>
  uint32_t get(uint8_t r, uint8_t g, uint8_t b, const Convert& convert) {
    // The key carries a set bit above the colour, so no colour matches an empty slot.
    const uint32_t key = uint32_t{r} | uint32_t{g} << 8 | uint32_t{b} << 16 | 1u << 24;
    const uint32_t slot = (key * 2654435761u) >> (32 - kSlotBits);
    if (keys_[slot] != key) {
      keys_[slot] = key;
      values_[slot] = convert(r, g, b);
    }
    return values_[slot];
  }

 private:
  static constexpr uint32_t kSlotBits = 16, kSlots = 1u << kSlotBits;
  std::vector<uint32_t> keys_, values_;
};

inline uint32_t pack_rgb(uint8_t r, uint8_t g, uint8_t b) { return uint32_t{r} | uint32_t{g} << 8 | uint32_t{b} << 16; }

}  // namespace cvl::imaging
