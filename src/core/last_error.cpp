#include "core/last_error.h"

#include <cstring>

#include "core/engine.h"

namespace cvl {

void set_last_error(const char* text) {
  char* dst = engine().last_error;
  if (text == nullptr) {
    std::memset(dst, 0, sizeof engine().last_error);
    return;
  }
  std::strncpy(dst, text, sizeof engine().last_error - 1);
}

const char* last_error() { return engine().last_error; }

}  // namespace cvl
