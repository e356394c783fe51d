// Image scripts and numbered effects. An input whose first byte is odd is script
// text: rendering must either give an image of exactly its pixels or nothing at
// all. An even first byte drives one effect on a small image: the next bytes give
// the size, the effect number and its values, and an effect that refuses must
// leave the pixels as they were.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "imagescript/imagescript.h"

namespace {

// Scripts may ask for up to 8192 x 8192 pixels; the fuzzer only needs small
// pictures to reach every command, and large ones would only slow it down.
constexpr double kMaxFuzzPixels = 256.0 * 256.0;

bool asks_for_a_large_picture(const std::string& text) {
  std::istringstream words(text);
  std::string word;
  while (words >> word)
    if (word == "size") {
      double w = 0, h = 0;
      if (words >> w >> h && !(w * h <= kMaxFuzzPixels)) return true;
      words.clear();
    }
  return false;
}

void render_text(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (asks_for_a_large_picture(text)) return;
  cvl::imaging::Image out;
  const auto result = cvl::imagescript::render_script_text(text, out);
  if (result == cvl::imagescript::ScriptResult::Ok) {
    if (out.width < 1 || out.height < 1 || out.pixels.size() != size_t(out.width) * out.height * 4) __builtin_trap();
  } else if (!out.pixels.empty()) {
    __builtin_trap();
  }
}

int32_t read_i32(const uint8_t*& p, const uint8_t* end) {
  uint32_t v = 0;
  for (int i = 0; i < 4 && p < end; ++i) v |= uint32_t(*p++) << (8 * i);
  return int32_t(v);
}

void run_one_effect(const uint8_t* data, size_t size) {
  if (size < 4) return;
  const uint8_t* p = data;
  const uint8_t* end = data + size;
  const int32_t width = 1 + (*p++ & 31), height = 1 + (*p++ & 31);
  // Mostly small effect numbers, where the effects live; sometimes any number at all.
  const uint8_t pick = *p++;
  const int32_t effect = pick & 0x80 ? read_i32(p, end) : pick;
  const int32_t count = p < end ? *p++ % 12 : 0;  // a long effect number may have used up the input
  std::vector<int32_t> values(size_t(count) + 1);
  for (int32_t i = 0; i < count; ++i) values[size_t(i)] = read_i32(p, end);
  std::vector<uint8_t> pixels(size_t(width) * height * 4);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = p < end ? *p++ : uint8_t(i * 37);
  const std::vector<uint8_t> before = pixels;
  if (!cvl::imagescript::run_effect(effect, values.data(), count, pixels.data(), width, height) && pixels != before)
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  if (data[0] & 1)
    render_text(data + 1, size - 1);
  else
    run_one_effect(data + 1, size - 1);
  return 0;
}
