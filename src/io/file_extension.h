// File extensions as hosts pass them: with the dot, compared without regard to case.
#pragma once

#include <cstddef>

namespace cvl {

// True when `ext` is exactly `lower` (a lower-case extension with its dot), in any case.
inline bool extension_is(const char* ext, const char* lower) {
  if (!ext) return false;
  size_t i = 0;
  for (; ext[i] && lower[i]; ++i) {
    const char c = ext[i] >= 'A' && ext[i] <= 'Z' ? static_cast<char>(ext[i] - 'A' + 'a') : ext[i];
    if (c != lower[i]) return false;
  }
  return ext[i] == lower[i];
}

}  // namespace cvl
