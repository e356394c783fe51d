// Arbitrary text for the paint-script reader: every command it hands on carries
// exactly its keyword's values, and every number it accepts is finite.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/paint_script_reader.h"

namespace {

class Checker final : public cvl::PaintScriptSink {
 public:
  void command(const cvl::PaintCommand& c) override {
    if (c.line < 1 || c.values.empty()) __builtin_trap();
    for (std::string_view v : c.values) {
      double d;
      if (cvl::paint_number(v, d) && !std::isfinite(d)) __builtin_trap();
    }
  }
  void problem(int line, const std::string& what) override {
    if (line < 1 || what.empty()) __builtin_trap();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Checker checker;
  cvl::read_paint_script(std::string_view(reinterpret_cast<const char*>(data), size), checker);
  return 0;
}
