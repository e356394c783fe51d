// Embossing: a colour image lit as if its relief were given by a height plane.
#pragma once

#include <cmath>
#include <cstdint>

#include "imaging/channel_mask.h"
#include "imaging/image_view.h"

namespace cvl::imaging {

// dst = src shaded by a light from `azimuth` (radians, 0 from the right,
// counter-clockwise on screen) and `elevation` (radians above the picture, pi/2
// straight overhead) falling on the surface whose heights are the 8-bit plane
// `height` (same width and height, `height_stride` bytes a row). `depth` (0..)
// steepens the relief; flat parts are lit by sin(elevation), so with the light
// overhead they keep their colour and slopes darken. 3- or 4-channel views of
// the same size (a fourth channel is copied); src and dst may be the same.
bool emboss(const uint8_t* height, int32_t height_stride, const ImageView& src, const ImageView& dst, double azimuth,
            double elevation, int32_t depth);

// The same a pixel at a time on one thread: the plain twin emboss is held to.
bool emboss_reference(const uint8_t* height, int32_t height_stride, const ImageView& src, const ImageView& dst,
                      double azimuth, double elevation, int32_t depth);

// What emboss and its twin share: the views they take and the light.
namespace emboss_detail {

inline bool views_fit(const uint8_t* height, int32_t height_stride, const ImageView& src, const ImageView& dst,
                      double azimuth, double elevation) {
  if (!height || !same_shape(src, dst) || src.channels < 3 || height_stride < src.width) return false;
  return std::isfinite(azimuth) && std::isfinite(elevation);
}

struct Light {
  float x, y, z;  // the light in (right, up, out of the picture) coordinates
  // The surface normal is (-gx, gy, nz) (rows run downward, so up is -gy): a
  // Sobel response of 1020 is a full-range step over two pixels.
  float nz;
  Light(double azimuth, double elevation, int32_t depth)
      : x(float(std::cos(azimuth) * std::cos(elevation))),
        y(float(std::sin(azimuth) * std::cos(elevation))),
        z(float(std::sin(elevation))),
        nz(depth > 0 ? 8 * 255.0f / float(depth) : 0) {}
};

}  // namespace emboss_detail

}  // namespace cvl::imaging
