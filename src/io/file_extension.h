// File extensions as hosts pass them: with the dot, compared without regard to case.
#pragma once

#include <cstddef>
#include <vector>

#include "core/last_error.h"

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

// Why `ext` is none of `accepted` (lower-case, with their dots): missing, lacking
// its dot ("png" for ".png"), or unknown; each names the accepted ones.
FailureCause extension_refused(const char* ext, const std::vector<const char*>& accepted);

}  // namespace cvl
