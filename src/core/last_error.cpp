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

void report_failure(const char* call, const FailureCause& cause) {
  if (!cause.empty()) set_last_error((std::string(call) + ": " + cause).c_str());
}

std::string os_reason(int os_error) { return os_error ? std::string(": ") + std::strerror(os_error) : std::string(); }

}  // namespace cvl
