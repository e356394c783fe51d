// Arbitrary bytes as a compressed layer block, loaded into a layer of a small canvas.
// A block that does not inflate to exactly the layer's bytes must leave the layer as
// it was; one that does must come back out as the same RGBA32 bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/engine.h"
#include "corvel/corvel.h"
#include "codecs/deflate.h"

namespace {

constexpr int32_t kW = 16, kH = 8, kSlot = 2;
constexpr size_t kBytes = size_t(kW) * kH * 4;

cvl::Layer& layer() {
  static bool made = false;
  if (!made) {
    CVL_CreateImage(nullptr, kW, kH, 8, 0);
    CVL_CreateLayer(kSlot, kW, kH);
    made = true;
  }
  return cvl::engine().slot(kSlot);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  cvl::Layer& l = layer();
  l.lockAlpha = 0;
  const std::vector<uint16_t> before(l.data(), l.data() + kBytes);
  std::vector<uint8_t> inflated(kBytes);
  const size_t got = cvl::imaging::inflate_buffer(data, size, inflated.data(), kBytes);
  if (got > kBytes) __builtin_trap();

  const int32_t loaded = CVL_LoadRGBA32LayerCompressed(data, 0, int32_t(size), kSlot);
  if ((loaded != 0) != (got == kBytes)) __builtin_trap();
  if (!loaded) {
    if (std::memcmp(before.data(), l.data(), kBytes * 2) != 0) __builtin_trap();
    return 0;
  }
  // Pixels of alpha 0 load fully clear; the rest come back byte for byte.
  for (size_t i = 0; i < kBytes; i += 4)
    if (inflated[i + 3] == 0) std::memset(&inflated[i], 0, 4);
  std::vector<uint8_t> block(kBytes + 256), again(kBytes);
  const int32_t n = CVL_GetRGBA32LayerCompressed(block.data(), 0, int32_t(block.size()), kSlot, data[0] % 10);
  if (n <= 0 || cvl::imaging::inflate_buffer(block.data(), size_t(n), again.data(), kBytes) != kBytes ||
      again != inflated)
    __builtin_trap();
  return 0;
}
