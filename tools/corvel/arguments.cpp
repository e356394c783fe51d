#include "arguments.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace corvel_tool {

int option_index(const char* arg, const char* stem, int count) {
  const size_t n = std::strlen(stem);
  if (std::strncmp(arg, stem, n) != 0 || !arg[n] || arg[n + 1]) return -1;
  const int i = arg[n] - '1';
  return i >= 0 && i < count ? i : -1;
}

bool parse_int(const char* text, int32_t& value) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (!*text || *end || v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<int32_t>(v);
  return true;
}

std::string number_text(double v) {
  char s[32];
  std::snprintf(s, sizeof s, "%g", v);
  return s;
}

std::string lower_case(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace corvel_tool
