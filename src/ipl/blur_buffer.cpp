#include "ipl/blur_buffer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/filters/blur.h"

namespace cvl {

void blur_more_buffer_rgb24(uint8_t* buffer, int32_t width, int32_t height, int32_t size, int32_t strength) {
  const int32_t radius = size / 5;
  if (!buffer || width <= 0 || height <= 0 || radius <= 0) return;
  const float amount = std::clamp(static_cast<float>(strength) * 0.01f, 0.0f, 1.0f);
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  // One channel at a time through the separable plane blur; the mixed result
  // goes into a temporary so the caller's buffer is only written once it is whole.
  std::vector<uint8_t> plane(pixels), result(pixels * 3);
  for (int c = 0; c < 3; ++c) {
    for (size_t i = 0; i < pixels; ++i) plane[i] = buffer[i * 3 + static_cast<size_t>(c)];
    imaging::blur_plane8(plane.data(), width, height, width, radius);
    for (size_t i = 0; i < pixels; ++i) {
      const float original = buffer[i * 3 + static_cast<size_t>(c)];
      result[i * 3 + static_cast<size_t>(c)] =
          static_cast<uint8_t>(original + (static_cast<float>(plane[i]) - original) * amount + 0.5f);
    }
  }
  std::copy(result.begin(), result.end(), buffer);
}

}  // namespace cvl
