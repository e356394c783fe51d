// Division by a divisor fixed for a whole loop, as one multiply and a shift: the
// window filters divide every output by the window's count, and a hardware
// division per byte costs more than the rest of the pixel's work.
#pragma once

#include <cstdint>

namespace cvl::imaging {

// floor(n / d) for every n below 2^31 and d of at least 1, exactly: the
// multiplier is 2^(31 + l) / d rounded up by one, where 2^l is the first power
// of two not below d, so the product overshoots n / d by less than 1 / d and
// never reaches the next whole quotient.
class ExactDivider {
 public:
  static constexpr uint32_t kLimit = 0x80000000u;  // numerators must stay below this

  explicit ExactDivider(uint32_t d) {
    int32_t l = 0;
    while ((uint64_t(1) << l) < d) ++l;
    shift_ = 31 + l;
    multiplier_ = (uint64_t(1) << shift_) / d + 1;
  }
  uint32_t operator()(uint32_t n) const { return static_cast<uint32_t>((uint64_t(n) * multiplier_) >> shift_); }

 private:
  uint64_t multiplier_ = 0;
  int32_t shift_ = 0;
};

}  // namespace cvl::imaging
