#include "imaging/tone/tint.h"

#include <algorithm>
#include <cmath>

#include "imaging/parallel_bands.h"

namespace cvl::imaging {

bool adjust_tint(const ImageView& image, int32_t degrees) {
  if (!image.data || image.width <= 0 || image.height <= 0 || (image.channels != 3 && image.channels != 4))
    return false;
  // Rotation about (1, 1, 1) / sqrt 3: cos I + (1 - cos) / 3 J + sin / sqrt 3 K,
  // in 16.16 fixed point. At 0 degrees the matrix is exactly the identity.
  const double a = (degrees % 360) * 3.14159265358979323846 / 180;
  const double c = std::cos(a), k = (1 - c) / 3, s = std::sin(a) / std::sqrt(3.0);
  const double m[3][3] = {{c + k, k - s, k + s}, {k + s, c + k, k - s}, {k - s, k + s, c + k}};
  int32_t fixed[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) fixed[i][j] = static_cast<int32_t>(std::lround(m[i][j] * 65536));
  const int32_t ch = image.channels;
  for_each_band(image.height, image.width, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      uint8_t* p = image.row(y);
      for (int32_t x = 0; x < image.width; ++x, p += ch) {
        const int32_t r = p[0], g = p[1], b = p[2];
        for (int i = 0; i < 3; ++i) {
          const int32_t v = (fixed[i][0] * r + fixed[i][1] * g + fixed[i][2] * b + 32768) >> 16;
          p[i] = static_cast<uint8_t>(std::clamp(v, 0, 255));
        }
      }
    }
  });
  return true;
}

}  // namespace cvl::imaging
