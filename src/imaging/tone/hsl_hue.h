// One channel of an HSL colour turned back into RGB.
#pragma once

namespace cvl::imaging {

// The channel value for hue position t (the hue shifted by a third of a turn per
// channel, wrapped into 0..1) between the low and high levels p and q.
inline double hsl_hue_channel(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 0.5) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

}  // namespace cvl::imaging
