// Runs an outside program from a test and keeps what it printed, so that files
// the engine wrote are judged by tools that did not write them.
#pragma once

#include <cstdio>
#include <map>
#include <sstream>
#include <string>

namespace cvl::test {

// The tools are Linux programs given Linux paths: the Windows suite, run under
// Wine, cannot hand them its files.
inline bool outside_tools_run() {
#ifdef _WIN32
  return false;
#else
  return true;
#endif
}
#define CORVEL_SKIP_WITHOUT_OUTSIDE_TOOLS() \
  if (!cvl::test::outside_tools_run()) GTEST_SKIP() << "the outside tools that judge the file do not run here"

// Standard output of a shell command; empty when it could not be started.
inline std::string tool_output(const std::string& command) {
  std::string out;
  if (std::FILE* p = popen((command + " 2>/dev/null").c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

// "key=value" or "key: value" lines as a map, the value trimmed.
inline std::map<std::string, std::string> tool_fields(const std::string& text, char separator) {
  std::map<std::string, std::string> fields;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const size_t at = line.find(separator);
    if (at == std::string::npos) continue;
    std::string value = line.substr(at + 1);
    value.erase(0, value.find_first_not_of(' '));
    fields[line.substr(0, at)] = value;
  }
  return fields;
}

}  // namespace cvl::test
