// Gradient (lattice) noise pictures: smooth clouds and folded turbulence,
// generated row by row from a seed.
#pragma once

#include <cstdint>

namespace cvl::imaging {

struct NoisePlaneSettings {
  double cell = 32;          // pixels per lattice cell of the coarsest octave
  int32_t octaves = 4;       // each twice as fine as the last (1..16)
  double persistence = 0.5;  // each octave's weight relative to the last
  bool turbulence = false;   // sum |noise| (veins, billows) instead of the signed noise
  // The weighted octave mean (about -1..1, or 0..1 folded) becomes the byte
  // clamp(255 x (offset + gain x mean)).
  double gain = 0.7;
  double offset = 0.5;
};

// Fills a width x height plane (`stride` bytes a row). The lattice gradients come
// from Lcg15(seed), so a seed always gives the same picture. False for unusable
// arguments.
bool gradient_noise_plane(uint8_t* plane, int32_t width, int32_t height, int32_t stride,
                          const NoisePlaneSettings& settings, uint32_t seed);

}  // namespace cvl::imaging
