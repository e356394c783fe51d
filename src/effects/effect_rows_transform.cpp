// Effect rows of the transform list: each distortion of src/imaging/geometry/distort.h
// (and the whole-pixel offset) run from the premultiplied source into the
// destination, with the row's colour, transparent, where the picture uncovers.
#include <algorithm>

#include "core/rand.h"
#include "imaging/geometry/distort.h"
#include "imaging/geometry/offset.h"
#include "effects/effect_rows_imaging.h"

namespace cvl {
namespace {

using imaging::Centre;
using imaging::Colour;
using imaging::ImageView;

ImageView view(const EffectCall& call, uint8_t* image) { return {image, call.width, call.height, 4, call.stride()}; }

// The fill of uncovered pixels: the packed colour, whose top byte (alpha) is 0.
Colour fill_of(const EffectCall& call) {
  return {static_cast<uint8_t>(call.r), static_cast<uint8_t>(call.g), static_cast<uint8_t>(call.b), 0};
}

int32_t short_side(const EffectCall& call) { return std::min(call.width, call.height); }
float extent(const EffectCall& call, int k) { return static_cast<float>(slider_extent(call.s[k], short_side(call))); }

// The canvas middle moved by two centre-offset sliders. An offset spans -D..D, so
// half of it reaches from one edge of the canvas to the other.
Centre centre_of(const EffectCall& call, int kx, int ky) {
  return {static_cast<float>((call.width - 1) * 0.5 + slider_offset(call.s[kx], call.width) * 0.5),
          static_cast<float>((call.height - 1) * 0.5 + slider_offset(call.s[ky], call.height) * 0.5)};
}
Centre middle(const EffectCall& call) { return {(call.width - 1) * 0.5f, (call.height - 1) * 0.5f}; }

// Frame P around one distortion: `op(src, dst, fill)`.
template <class Op>
int32_t transform(const EffectCall& call, Op&& op) {
  return frame_p(call, [&] { return op(view(call, call.src), view(call, call.dst), fill_of(call)); });
}

}  // namespace

int32_t row_elliptical(const EffectCall& call) {
  return transform(call, [&](const ImageView& s, const ImageView& d, const Colour& fill) {
    return imaging::elliptical_image(s, d, fill, middle(call), float(slider_extent(call.s[0], call.width)),
                                     float(slider_extent(call.s[1], call.height)), call.option != 0);
  });
}

int32_t row_lens(const EffectCall& call) {
  return transform(call, [&](const ImageView& s, const ImageView& d, const Colour& fill) {
    return imaging::lens_image(s, d, fill, middle(call), extent(call, 0));
  });
}

int32_t row_marble(const EffectCall& call) {
  return transform(call, [&](const ImageView& s, const ImageView& d, const Colour& fill) {
    return imaging::marble_image(s, d, fill, extent(call, 0), extent(call, 1), call.s[2] * 0.01f * 4);
  });
}

int32_t row_offset(const EffectCall& call) {
  imaging::EdgeMode mode;
  if (!imaging::edge_mode_from_code(call.option, &mode)) return 0;
  const int32_t dx = trunc_i(call.width * call.s[0] * 0.01 * 2 - call.width);
  const int32_t dy = trunc_i(call.height * call.s[1] * 0.01 * 2 - call.height);
  return transform(call, [&](const ImageView& s, const ImageView& d, const Colour& fill) {
    return imaging::offset_image(s, d, dx, dy, mode, fill.data());
  });
}

int32_t row_pinch(const EffectCall& call) {
  return transform(call, [&](const ImageView& s, const ImageView& d, const Colour& fill) {
    return imaging::pinch_image(s, d, fill, centre_of(call, 2, 3), (call.s[0] - 50) / 50, extent(call, 1));
  });
}

int32_t row_ripple(const EffectCall& call) {
  return transform(call, [&](const ImageView& s, const ImageView& d, const Colour& fill) {
    return imaging::ripple_image(s, d, fill, centre_of(call, 2, 3), extent(call, 0), extent(call, 1),
                                 float(slider_angle(call.s[4])), call.option != 0);
  });
}

int32_t row_spin(const EffectCall& call) {
  return transform(call, [&](const ImageView& s, const ImageView& d, const Colour& fill) {
    return imaging::spin_image(s, d, fill, centre_of(call, 2, 3), float(slider_angle(call.s[0])), extent(call, 1));
  });
}

int32_t row_spin_wave(const EffectCall& call) {
  return transform(call, [&](const ImageView& s, const ImageView& d, const Colour& fill) {
    return imaging::spin_wave_image(s, d, fill, centre_of(call, 2, 3), float(slider_angle(call.s[0])),
                                    extent(call, 1), extent(call, 4));
  });
}

int32_t row_wave(const EffectCall& call) {
  return transform(call, [&](const ImageView& s, const ImageView& d, const Colour& fill) {
    return imaging::wave_image(s, d, fill, extent(call, 0), extent(call, 1), imaging::wave_axis_from_code(call.option));
  });
}

// option is the number of petals; 0 (the host's default) gives five.
int32_t row_wow(const EffectCall& call) {
  return transform(call, [&](const ImageView& s, const ImageView& d, const Colour& fill) {
    return imaging::wow_image(s, d, fill, middle(call), call.s[0] * 0.01f * 0.5f, call.option > 0 ? call.option : 5);
  });
}

int32_t row_zig_zag(const EffectCall& call) {
  return transform(call, [&](const ImageView& s, const ImageView& d, const Colour& fill) {
    return imaging::zig_zag_image(s, d, fill, middle(call), extent(call, 0), extent(call, 1),
                                  imaging::zig_zag_style_from_code(call.option));
  });
}

// On the source as the host left it, whole pixels, not premultiplied. The seed is
// drawn from the engine's generator, so the host's random seed reproduces it.
int32_t row_frosted_glass(const EffectCall& call) {
  const uint32_t seed = static_cast<uint32_t>(crt_rand()) << 15 | static_cast<uint32_t>(crt_rand());
  return frame_r(
      call,
      [&] {
        return imaging::frost_image(view(call, call.src), view(call, call.dst), fill_of(call),
                                    trunc_i(call.s[0] * 0.5), seed);
      },
      true);
}

}  // namespace cvl
