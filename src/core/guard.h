// The catch-all around every export: an exception ends the call, records
// "<Name> Excpt" as the last error and returns the call's failure value.
#pragma once

#include "core/last_error.h"

namespace cvl {

template <class R, class F>
R guarded(const char* failure_text, R failure, F&& body) noexcept {
  try {
    return body();
  } catch (...) {
    set_last_error(failure_text);
    return failure;
  }
}

template <class F>
void guarded(const char* failure_text, F&& body) noexcept {
  try {
    body();
  } catch (...) {
    set_last_error(failure_text);
  }
}

}  // namespace cvl
