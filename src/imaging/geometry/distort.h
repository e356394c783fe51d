// The distortions of the transform list: each is a coordinate map run through
// the inverse-mapping sampler (bilinear, fill colour where the map leaves the
// picture), except the random displacement, which moves whole pixels.
//
// Points are in pixel-centre units; a centre (cx, cy) is where the distortion is
// anchored, normally near ((W - 1) / 2, (H - 1) / 2). Radii, amplitudes and
// wavelengths are in pixels, angles in degrees. Every function takes RGBA32
// views of one size that do not overlap and returns false for views it cannot
// work on. Each has a neutral setting that copies the image unchanged.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"
#include "imaging/pixel_span.h"

namespace cvl::imaging {

struct Centre {
  float x = 0, y = 0;
};

// Inside the ellipse of semi-axes (rx, ry) about the centre the picture is
// bulged outwards as on a dome (or, with `pinch`, drawn in towards the rim).
// Neutral: either semi-axis 0.
bool elliptical_image(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float rx, float ry,
                      bool pinch);

// A magnifying glass of the radius over the centre: twice as large in the middle,
// unmagnified at the rim. Neutral: radius 0.
bool lens_image(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float radius);

// Veins of marble: pixels move by `amplitude` along waves of `scale` pixels whose
// phase is stirred by smooth noise, `turbulence` turns of it at most.
// Neutral: amplitude 0.
bool marble_image(const ImageView& src, const ImageView& dst, const Colour& fill, float scale, float amplitude,
                  float turbulence);
// The plain twin of marble_image: the noise worked out whole at every pixel, one
// thread. Tests hold marble_image to its bytes.
bool marble_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, float scale,
                            float amplitude, float turbulence);

// Pinch (amount > 0 draws the picture in towards the centre) or bulge
// (amount < 0) within the radius; amount in -1..1. Neutral: amount 0.
bool pinch_image(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float amount, float radius);

// Rings of water round the centre: radii move in and out by `amplitude`
// (`angular`: the rings turn instead) along waves of `wavelength`, starting at
// `phase` degrees. Neutral: amplitude 0.
bool ripple_image(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float amplitude,
                  float wavelength, float phase, bool angular);

// A swirl: the middle turns by `angle`, easing to nothing at the radius.
// Neutral: angle 0.
bool spin_image(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float angle, float radius);

// Rings that turn back and forth: the turn is angle x sin(2 pi r / wavelength),
// fading to nothing at the radius. Neutral: angle 0.
bool spin_wave_image(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float angle,
                     float wavelength, float radius);

enum class WaveAxis : uint8_t {
  Vertical,    // columns move up and down with x
  Horizontal,  // rows move sideways with y
  Both,
};
WaveAxis wave_axis_from_code(int32_t code);

// Sine waves across the picture. Neutral: amplitude 0.
bool wave_image(const ImageView& src, const ImageView& dst, const Colour& fill, float amplitude, float wavelength,
                WaveAxis axis);

// A flower-shaped wobble round the centre: the radius swells and shrinks by
// `amount` (a fraction) `petals` times round the circle. Neutral: amount 0.
bool wow_image(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float amount, int32_t petals);

enum class ZigZagStyle : uint8_t {
  Rows,     // rows move sideways in a zig zag along y
  Columns,  // columns move up and down along x
  Rings,    // radii move in and out round the centre
};
ZigZagStyle zig_zag_style_from_code(int32_t code);

// Triangle waves of `wavelength` and `amplitude`. Neutral: amplitude 0.
bool zig_zag_image(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float amplitude,
                   float wavelength, ZigZagStyle style);

// Frosted glass: each pixel is taken whole from a random neighbour up to
// `spread` pixels away in each direction, drawn from a generator seeded with
// `seed`, so the same seed gives the same picture. Neutral: spread 0.
bool frost_image(const ImageView& src, const ImageView& dst, const Colour& fill, int32_t spread, uint32_t seed);

// The plain twins of the distortions above (marble's stands beside it): every map
// worked out whole at each pixel through the plain sampler, one thread. Tests hold
// the distortions to their bytes.
bool elliptical_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float rx,
                                float ry, bool pinch);
bool lens_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float radius);
bool pinch_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float amount,
                           float radius);
bool ripple_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float amplitude,
                            float wavelength, float phase, bool angular);
bool spin_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float angle,
                          float radius);
bool spin_wave_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float angle,
                               float wavelength, float radius);
bool wave_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, float amplitude,
                          float wavelength, WaveAxis axis);
bool wow_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float amount,
                         int32_t petals);
bool zig_zag_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float amplitude,
                             float wavelength, ZigZagStyle style);

}  // namespace cvl::imaging
