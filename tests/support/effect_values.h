// Numbered effects' values for the imagescript tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace cvl::imagescript::test_support {

// Effect values by value index (3 upward), as the dispatcher sets them; indices
// not given are 0.
inline std::vector<int32_t> values(const std::map<int, int32_t>& by_index) {
  std::vector<int32_t> out;
  for (const auto& [index, value] : by_index) {
    if (size_t(index - 3) >= out.size()) out.resize(size_t(index - 2), 0);
    out[size_t(index - 3)] = value;
  }
  return out;
}

}  // namespace cvl::imagescript::test_support
