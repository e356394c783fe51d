// The alpha-mode step of mix modes 21..40: before compositing, these modes
// rewrite the source pixel's colour and alpha (outlines, shaders, smoothing,
// luminance to alpha). With same-alpha mode (source and destination layers share
// the mode) most of them instead let the source replace the destination.
#pragma once

#include <algorithm>
#include <cstdint>

namespace cvl {

// The source pixel as the compositor hands it on: colour c, alpha o.
struct SourcePixel {
  uint32_t c[3];
  uint32_t o;
  bool replace = false;    // composite as if the destination were transparent
  bool texturize = false;  // the pixel's blend is a Texturize mode
};

namespace alpha_step {

// Darkens below the pivot alpha 0x7FFF and brightens above it.
inline void shade(SourcePixel& p, uint32_t a) {
  if (a < 0x7FFF) {
    const uint32_t d = 2 * (0x7FFF - a);
    for (uint32_t& ch : p.c) ch = ch < d ? 0 : ch - d;
  } else {
    const uint32_t d = 2 * a - 65534;
    for (uint32_t& ch : p.c) ch = std::min<uint32_t>(65535, ch + d);
  }
}

// Lightens toward white above the pivot and darkens toward black below it.
// With alpha at its extremes the factor exceeds 1, so the result is clamped to
// a channel's range instead of wrapping around.
inline void tone(SourcePixel& p, uint32_t a, uint32_t pivot, float lighten, float darken) {
  if (a > pivot) {
    const float f = static_cast<float>(a - pivot) / lighten;
    for (uint32_t& ch : p.c) {
      const int32_t v = static_cast<int32_t>(static_cast<float>(ch) + static_cast<float>(65535 - ch) * f);
      ch = static_cast<uint32_t>(std::clamp(v, 0, 65535));
    }
  } else {
    const float f = static_cast<float>(pivot - a) / darken;
    for (uint32_t& ch : p.c) {
      const int32_t v = static_cast<int32_t>(static_cast<float>(ch) - static_cast<float>(ch) * f);
      ch = static_cast<uint32_t>(std::clamp(v, 0, 65535));
    }
  }
}

inline void cutoff_a(SourcePixel& p, uint32_t a) {
  if (a > 0) p.o = a < 0x1FFF ? 0 : 65535;
}

inline void cutoff_b(SourcePixel& p, uint32_t a) {
  if (a == 0) return;
  if (a < 0x1FFF) {
    p.o = 0;
  } else if (a < 0x23FF) {
    p.o = 65535 - std::min<uint32_t>(65535, (0x23FF - a) * 64);
  } else {
    p.o = 65535;
  }
}

inline void set_colour(SourcePixel& p, uint32_t v) { p.c[0] = p.c[1] = p.c[2] = v; }

// In same-alpha mode the last two smooth modes blend their middle band as
// Multiply; that blend is chosen with the mode's loop (see blend_kind).
template <int Mode>
inline void same_alpha(SourcePixel& p, uint32_t a) {
  if constexpr (Mode <= 30 || Mode == 36) {
    if (a > 0) p.replace = true;
  } else if constexpr (Mode <= 33) {
    if (a < 0x1FFF) p.o = 0; else p.replace = true;
  } else if constexpr (Mode <= 35) {
    if (a < 0x1FFF) p.o = 0;
    else if (a >= 0x23FF) p.replace = true;
  } else if constexpr (Mode == 37) {
    if (a <= 0x7F00) p.o = 0; else p.replace = true;
  }
}

template <int Mode>
inline void own_alpha(SourcePixel& p, uint32_t a) {
  if constexpr (Mode == 21) {
    set_colour(p, 65535);
    p.o = 65535 - a;
  } else if constexpr (Mode == 22 || Mode == 36) {
    if (a > 0 && a < 0xFF00) {
      set_colour(p, 0);
      p.o = 65535;
    }
  } else if constexpr (Mode == 23 || Mode == 24) {
    if (a > 0) p.o = a < 0x2FFF ? 65535 - a : (Mode == 23 ? 0x2FFF : 0x7FFF);
  } else if constexpr (Mode == 25) {
    if (a > 0) p.o = 65535 - a;
  } else if constexpr (Mode == 26) {
    if (a > 0) {
      set_colour(p, a);
      p.o = 65535;
    }
  } else if constexpr (Mode == 27 || Mode == 28) {
    if (a > 0) {
      shade(p, a);
      p.o = 65535;
      p.texturize = Mode == 28;
    }
  } else if constexpr (Mode == 29) {
    if (a > 0) {
      if (a >= 0x7FFF) {
        shade(p, a);
        p.o = 65535;
      } else {
        const uint32_t d = 2 * (0x7FFF - a);
        p.o = a < d ? 0 : a - d;
      }
      p.texturize = true;
    }
  } else if constexpr (Mode == 30) {
    if (a > 0) {
      if (a >= 0x7FFF) {
        p.o = 65535;
      } else {
        const uint32_t d = 4 * (0x7FFF - a);
        p.o = a < d ? 0 : a - d;
      }
    }
  } else if constexpr (Mode == 31 || Mode == 35) {
    tone(p, a, 0x7FFF, 32767.0f, 32767.0f);
    if constexpr (Mode == 31) cutoff_a(p, a); else cutoff_b(p, a);
  } else if constexpr (Mode == 32) {
    tone(p, a, 0x7FFF, 32767.0f, 65535.0f);
    cutoff_a(p, a);
  } else if constexpr (Mode == 33 || Mode == 34) {
    tone(p, a, 0x8FFE, 28672.0f, 30000.0f);
    if constexpr (Mode == 33) cutoff_a(p, a); else cutoff_b(p, a);
  } else if constexpr (Mode == 37) {
    if (a > 0x7F00) p.o = 0;
  }
}

}  // namespace alpha_step

// Applies the step of mode Mode (21..40) to a source pixel whose alpha after the
// layer mask and opacity is a.
template <int Mode, bool SameAlpha>
inline void apply_alpha_step(SourcePixel& p, uint32_t a) {
  if constexpr (Mode == 38) {
    p.o = 0;  // a layer mask shows nothing itself
  } else if constexpr (Mode == 39 || Mode == 40) {
    const uint32_t lum = (p.c[0] + p.c[1] + p.c[2]) / 3;
    alpha_step::set_colour(p, Mode == 39 ? 65535 : 0);
    p.o = Mode == 39 ? lum : 65535 - lum;
  } else if constexpr (SameAlpha) {
    alpha_step::same_alpha<Mode>(p, a);
  } else {
    alpha_step::own_alpha<Mode>(p, a);
  }
}

}  // namespace cvl
