// Effect rows of the tone and colour family, on the imaging library.
#include "imaging/tone/colour_balance.h"
#include "imaging/filters/deinterlace.h"
#include "imaging/tone/duotone.h"
#include "imaging/tone/grey.h"
#include "imaging/tone/histogram.h"
#include "imaging/tone/invert.h"
#include "imaging/tone/saturation.h"
#include "imaging/tone/tint.h"
#include "imaging/tone/tone_curves.h"
#include "imaging/artistic/watercolour_tint.h"
#include "effects/effect_rows_imaging.h"

namespace cvl {
namespace {

constexpr uint32_t kColour = 7;  // R, G and B; alpha left alone
constexpr uint32_t kEvery = 15;

imaging::ImageView src32(const EffectCall& call) { return {call.src, call.width, call.height, 4, call.stride()}; }
imaging::ImageView view24(const EffectCall& call, uint8_t* image) {
  return {image, call.width, call.height, 3, call.width * 3};
}

// Frame L around an operation on the layer's pixels in the source.
template <class Op>
int32_t in_place(const EffectCall& call, Op&& op) {
  return frame_l(call, [&] { return op(src32(call)); });
}

// Frame 24 around an operation that changes the 24-bit copy in place.
template <class Op>
int32_t in_place24(const EffectCall& call, Op&& op) {
  return frame_24(call, false, [&](const Rgb24Pair& pair) -> const uint8_t* {
    return op(view24(call, pair.src)) ? pair.src : nullptr;
  });
}

// The histogram rows read their output range as two bytes of s1 and s2.
template <class Op>
int32_t histogram_row(const EffectCall& call, Op&& op) {
  const int32_t lo = slider_byte(call.s[0]), hi = slider_byte(call.s[1]);
  return in_place(call, [&](const imaging::ImageView& v) { return op(v, lo, hi); });
}

// Flags shared by the painterly filters: 1 when f1 = 1, plus 2 when f2 = 1.
uint32_t paint_flags(const EffectCall& call) { return (call.flag(0) ? 1u : 0u) | (call.flag(1) ? 2u : 0u); }

}  // namespace

// The colour of the layer inverted in a 24-bit copy; alpha stays as it was.
int32_t row_negative(const EffectCall& call) {
  return in_place24(call, [](const imaging::ImageView& v) { return imaging::invert_image(v, kColour); });
}

int32_t row_brightness_contrast(const EffectCall& call) {
  const double brightness = call.s[0] * 0.02 - 1, contrast = call.s[1] * 0.02 - 1;
  return in_place(call, [&](const imaging::ImageView& v) {
    return imaging::adjust_brightness_contrast(v, brightness, contrast, kColour);
  });
}

int32_t row_gamma(const EffectCall& call) {
  const double gamma = call.s[0] * 0.01 * 2;
  return in_place(call, [&](const imaging::ImageView& v) { return imaging::adjust_gamma(v, gamma, kColour); });
}

int32_t row_histogram_equalize(const EffectCall& call) {
  return histogram_row(call, [](const imaging::ImageView& v, int32_t lo, int32_t hi) {
    return imaging::histogram_equalize(v, lo, hi, imaging::HistogramBasis::Brightness);
  });
}

int32_t row_histogram_stretch(const EffectCall& call) {
  return histogram_row(call, [](const imaging::ImageView& v, int32_t lo, int32_t hi) {
    return imaging::histogram_stretch(v, lo, hi, imaging::HistogramBasis::Brightness);
  });
}

int32_t row_histogram_equalize_channels(const EffectCall& call) {
  return histogram_row(call, [](const imaging::ImageView& v, int32_t lo, int32_t hi) {
    return imaging::histogram_equalize(v, lo, hi, imaging::HistogramBasis::PerChannel);
  });
}

int32_t row_histogram_stretch_channels(const EffectCall& call) {
  return histogram_row(call, [](const imaging::ImageView& v, int32_t lo, int32_t hi) {
    return imaging::histogram_stretch(v, lo, hi, imaging::HistogramBasis::PerChannel);
  });
}

int32_t row_histogram_stretch_hsl(const EffectCall& call) {
  return histogram_row(call, [](const imaging::ImageView& v, int32_t lo, int32_t hi) {
    return imaging::lightness_histogram_stretch(v, lo, hi);
  });
}

// s1..s3 push toward red, green and blue above 50 (their complements below);
// s4 picks the tones (0 shadows .. 100 highlights); f3 keeps the lightness.
int32_t row_colour_balance(const EffectCall& call) {
  imaging::ColourBalance balance;
  balance.cyan_red = (call.s[0] - 50) * 0.02;
  balance.magenta_green = (call.s[1] - 50) * 0.02;
  balance.yellow_blue = (call.s[2] - 50) * 0.02;
  balance.tone = call.s[3] * 0.01;
  balance.keep_lightness = call.flag(2);
  return in_place(call, [&](const imaging::ImageView& v) { return imaging::adjust_colour_balance(v, balance); });
}

// s1 the ink's hue (x 3.6 degrees), s2 its saturation and s3 the strength, in %.
int32_t row_duotone(const EffectCall& call) {
  const double hue = call.s[0] * 3.6, saturation = call.s[1] * 0.01, amount = call.s[2] * 0.01;
  return in_place(call, [&](const imaging::ImageView& v) { return imaging::duotone(v, hue, saturation, amount); });
}

// The grey of the IPL source as the host left it, written to the colour.
int32_t row_grayscale(const EffectCall& call) {
  return frame_g24(call, [&](uint8_t* grey) { return imaging::image_to_grey(src32(call), grey, call.width); });
}

// Saturation only ever raised: factor 1 (s1 = 0) to 3 (s1 = 100).
int32_t row_hyper_saturation(const EffectCall& call) {
  const double factor = 1 + call.s[0] * 0.02;
  return in_place(call, [&](const imaging::ImageView& v) { return imaging::modify_saturation(v, factor); });
}

int32_t row_posterize(const EffectCall& call) {
  return in_place24(call, [](const imaging::ImageView& v) { return imaging::posterize(v, 4, kColour); });
}

int32_t row_solarize(const EffectCall& call) {
  return in_place24(call, [](const imaging::ImageView& v) { return imaging::solarize(v, 128, kColour); });
}

int32_t row_threshold(const EffectCall& call) {
  const int32_t lo = trunc_i(call.s[0] * 2.55), hi = trunc_i(call.s[1] * 2.55);
  return in_place(call, [&](const imaging::ImageView& v) { return imaging::threshold(v, lo, hi, kEvery); });
}

int32_t row_tint(const EffectCall& call) {
  const int32_t degrees = slider_angle(call.s[0]);
  return in_place(call, [&](const imaging::ImageView& v) { return imaging::adjust_tint(v, degrees); });
}

int32_t row_watercolour_tint(const EffectCall& call) {
  const double amount = call.s[0] * 0.01;
  const uint32_t flags = paint_flags(call);
  return frame_24(call, true, [&](const Rgb24Pair& pair) -> const uint8_t* {
    return imaging::watercolour_tint(view24(call, pair.src), view24(call, pair.dst), amount, flags) ? pair.dst
                                                                                                   : nullptr;
  });
}

// f1 repeats each even row over the odd one below it; otherwise odd rows are
// interpolated between their neighbours.
int32_t row_deinterlace(const EffectCall& call) {
  const int32_t mode = call.f[0] != 0 ? 1 : 5;
  return in_place(call, [&](const imaging::ImageView& v) { return imaging::deinterlace(v, mode); });
}

}  // namespace cvl
