// Effect rows of the noise family: noise added to the layer, and noise
// pictures generated over its colour. Every row draws its seed from the engine's
// generator, so after the same random seed the same call gives the same picture,
// and two calls in a row give different grain.
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/rand.h"
#include "imaging/artistic/gradient_noise.h"
#include "imaging/artistic/add_noise.h"
#include "effects/effect_rows_imaging.h"

namespace cvl {
namespace {

constexpr uint32_t kColour = 7;

uint32_t draw_seed() {
  const uint32_t high = static_cast<uint32_t>(crt_rand());
  return high << 15 | static_cast<uint32_t>(crt_rand());
}

// The amount trunc(s1 x 200) is read in 1/200 levels: s1 is the spread in levels.
int32_t add_noise_row(const EffectCall& call, imaging::NoiseDistribution distribution) {
  const double spread = trunc_i(call.s[0] * 200) * 0.005;
  const bool monochrome = call.flag(0);
  const uint32_t seed = draw_seed();
  return frame_l(call, [&] {
    const imaging::ImageView v{call.src, call.width, call.height, 4, call.stride()};
    return imaging::add_noise(v, distribution, spread, monochrome, kColour, seed);
  });
}

// Frame 24 around a generated grey picture written to R, G and B.
int32_t noise_picture_row(const EffectCall& call, const imaging::NoisePlaneSettings& settings) {
  const uint32_t seed = draw_seed();
  return frame_24(call, true, [&](const Rgb24Pair& pair) -> const uint8_t* {
    std::vector<uint8_t> grey(static_cast<size_t>(call.width) * call.height);
    if (!imaging::gradient_noise_plane(grey.data(), call.width, call.height, call.width, settings, seed))
      return nullptr;
    grey_to_rgb24(grey.data(), pair.dst, call.width * call.height);
    return pair.dst;
  });
}

}  // namespace

int32_t row_add_gaussian_noise(const EffectCall& call) {
  return add_noise_row(call, imaging::NoiseDistribution::Gaussian);
}
int32_t row_add_negative_exponential_noise(const EffectCall& call) {
  return add_noise_row(call, imaging::NoiseDistribution::NegativeExponential);
}
int32_t row_add_rayleigh_noise(const EffectCall& call) {
  return add_noise_row(call, imaging::NoiseDistribution::Rayleigh);
}
int32_t row_add_uniform_noise(const EffectCall& call) {
  return add_noise_row(call, imaging::NoiseDistribution::Uniform);
}

// s1 is how much of the colour the noise replaces (%); option 0 draws shades of
// the given colour, any other option random colours.
int32_t row_colour_noise(const EffectCall& call) {
  const double amount = call.s[0] * 0.01;
  const uint8_t colour[3] = {static_cast<uint8_t>(call.r), static_cast<uint8_t>(call.g),
                             static_cast<uint8_t>(call.b)};
  const uint32_t seed = draw_seed();
  return frame_24(call, false, [&](const Rgb24Pair& pair) -> const uint8_t* {
    const imaging::ImageView v{pair.src, call.width, call.height, 3, call.width * 3};
    return imaging::colour_noise(v, amount, call.option != 0, colour, seed) ? pair.src : nullptr;
  });
}

// Turbulence: folded octaves that draw veins and billows. s1 sets the feature
// size (4 to 204 pixels), s2 the roughness, s3 the number of octaves (1 to 8).
int32_t row_hugo_noise(const EffectCall& call) {
  imaging::NoisePlaneSettings settings;
  settings.cell = 4 + call.s[0] * 2.0;
  settings.octaves = 1 + trunc_i(call.s[2] * 0.07);
  settings.persistence = 0.3 + call.s[1] * 0.005;
  settings.turbulence = true;
  settings.gain = 1.6;
  settings.offset = 0;
  return noise_picture_row(call, settings);
}

// Smooth clouds of five octaves; s1 sets the feature size (4 to 104 pixels).
int32_t row_perlin_noise(const EffectCall& call) {
  imaging::NoisePlaneSettings settings;
  settings.cell = 4 + call.s[0] * 1.0;
  settings.octaves = 5;
  return noise_picture_row(call, settings);
}

}  // namespace cvl
