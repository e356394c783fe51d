// Adding random noise to 8-bit images, reproducibly from a seed.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

enum class NoiseDistribution : uint8_t {
  Gaussian,             // normal, standard deviation = spread
  NegativeExponential,  // exponential with mean = spread: mostly small, now and then large
  Rayleigh,             // Rayleigh with scale = spread: rarely near zero
  Uniform,              // evenly in -spread..spread
};

// Adds noise of `spread` levels to the selected channels. Every distribution is
// shifted to mean 0, so the noise does not brighten the picture on average.
// `monochrome` adds one draw to all selected channels of a pixel (grey grain)
// instead of one draw per channel. The draws come from Lcg15(seed) in pixel
// order; spread 0 changes nothing. False for views it cannot work on.
bool add_noise(const ImageView& image, NoiseDistribution distribution, double spread, bool monochrome,
               uint32_t channel_mask, uint32_t seed);

// Mixes noise over a 3- or 4-channel image by `amount` (0 keeps it, 1 replaces
// the colour): with `random_colours` each pixel gets a random colour, otherwise a
// random shade of `colour` (R, G, B), from black to the colour. Alpha is left alone.
bool colour_noise(const ImageView& image, double amount, bool random_colours, const uint8_t colour[3],
                  uint32_t seed);

}  // namespace cvl::imaging
