// The specialised rows. A colour row runs in three passes over the footprint
// row, each a template on what the dab fixed: coverage (rotation, grit, texture,
// mask, solid), source colour (blending and the variations; skipped when the
// source is the plain dab colour), and mix-and-write (the mix kernel and the
// write rules). The passes hand each other fixed-size arrays on the stack. The
// plain normal-mode dab has a row of its own: 16-bit coverages straight from the
// tip row, then the vector mix.
#include <array>
#include <cstddef>
#include <type_traits>

#include "brush/dab_normal_simd.h"
#include "brush/dab_rows.h"
#include "core/tool_settings.h"

namespace cvl {

// Scratch of one footprint row; the footprint is at most the scale table's width.
struct DabRowScratch {
  std::array<uint32_t, kScaleTableSize> v;
  std::array<int32_t, kScaleTableSize> index;
  std::array<uint32_t, kScaleTableSize * 4> source;
};

namespace {

using dab::kFull;

using RowScratch = DabRowScratch;
using CoverFn = decltype(DabRowPlan::cover);
using SourceFn = decltype(DabRowPlan::source);
using MixFn = decltype(DabRowPlan::mix);

template <class F>
decltype(auto) with_bool(bool b, F&& f) {
  return b ? f(std::true_type{}) : f(std::false_type{});
}

template <bool Rotate, bool Grit, bool Texture, bool Mask, bool Solid>
void cover_pass(const DabFrame& f, int32_t y, int32_t tr, RowScratch& r) {
  constexpr dab::PixelSwitches sw{Rotate, Grit, Texture, Mask, Solid, false, false, false, false};
  const size_t at = static_cast<size_t>(y) * static_cast<size_t>(f.canvas_width) + static_cast<size_t>(f.x0);
  const uint8_t* tex = Texture ? f.texture + at : nullptr;
  const uint16_t* mask = Mask ? f.mask + at : nullptr;
  for (int32_t j = 0; j < f.cols; ++j) r.v[j] = dab::pixel_coverage(f, sw, j, tr, tex, mask, r.index[j]);
}

CoverFn select_cover(const DabFrame& f, bool mask, bool solid) {
  return with_bool(f.rotate, [&](auto rot) {
    return with_bool(f.grit != nullptr, [&](auto grit) {
      return with_bool(f.texture != nullptr, [&](auto tex) {
        return with_bool(mask, [&](auto m) {
          return with_bool(solid, [&](auto s) -> CoverFn { return &cover_pass<rot, grit, tex, m, s>; });
        });
      });
    });
  });
}

template <bool Blend, bool ColorVary, bool LumVary, bool Primary, bool Image>
void source_pass(DabFrame& f, RowScratch& r) {
  constexpr dab::PixelSwitches sw{false, false, false, false, false, ColorVary, LumVary, Primary, Image};
  if constexpr (Blend && !ColorVary && !LumVary && !Primary && !Image) {
    // The picked-up colour as it is: copied for every column, painted or not,
    // which costs less than testing each (grit leaves holes at random).
    for (int32_t j = 0; j < f.cols; ++j) {
      const uint16_t* b = f.blend + static_cast<size_t>(r.index[j]) * 4;
      uint32_t* s = &r.source[static_cast<size_t>(j) * 4];
      s[0] = b[0], s[1] = b[1], s[2] = b[2], s[3] = b[3];
    }
    return;
  }
  for (int32_t j = 0; j < f.cols; ++j) {
    if (r.v[j] == 0) continue;
    uint32_t* s = &r.source[static_cast<size_t>(j) * 4];
    if constexpr (Blend)
      dab::blended_source(f, sw, f.color_vary, f.lum_vary, f.blend + static_cast<size_t>(r.index[j]) * 4, r.v[j], s);
    else
      dab::plain_source(f, sw, f.color_vary, f.lum_vary, s);
  }
}

SourceFn select_source(const DabFrame& f) {
  if (!f.blending && !f.color_vary.on() && !f.lum_vary.on()) return nullptr;
  return with_bool(f.blending, [&](auto blend) {
    return with_bool(f.color_vary.on(), [&](auto cv) {
      return with_bool(f.lum_vary.on(), [&](auto lv) {
        return with_bool(blend && f.primary, [&](auto primary) {
          return with_bool(blend && f.image_brush, [&](auto image) -> SourceFn {
            return &source_pass<blend, cv, lv, primary, image>;
          });
        });
      });
    });
  });
}

template <WriteKind W>
inline void write_pixel(const DabFrame& f, const MixResult& m, uint16_t* p) {
  if constexpr (W == WriteKind::Paint) {
    for (int ch = 0; ch < 4; ++ch) p[ch] = static_cast<uint16_t>(m.c[ch]);
  } else if constexpr (W == WriteKind::Erase) {
    p[3] = static_cast<uint16_t>(m.c[3]);
  } else {
    dab::write_general(f, m, p);
  }
}

template <MixKernel K, WriteKind W>
void mix_pass(DabFrame& f, int32_t y, const RowScratch& r, const uint32_t* source, int32_t source_step) {
  uint16_t* p = f.dest + static_cast<size_t>(y) * static_cast<size_t>(f.dest_stride) + static_cast<size_t>(f.x0) * 4;
#ifdef CVL_HAVE_SSE2_DAB_ROW
  if constexpr (K == MixKernel::LowNormal && W == WriteKind::Paint) {
    if (source_step == 0) return normal_row_sse2(f.cols, source, p, r.v.data());
  }
#endif
  const MixContext& ctx = f.mix;
  for (int32_t j = 0; j < f.cols; ++j, p += 4) {
    const uint32_t v = r.v[j];
    if (v == 0) continue;
    const uint32_t* s = source + static_cast<ptrdiff_t>(j) * source_step;
    uint32_t d[4];
    dab::load_pixel(p, d);
    const MixResult m = mix_pixel<K>(ctx, s, v, d);
    write_pixel<W>(f, m, p);
    if constexpr (W == WriteKind::GeneralRemix) dab::remix(f, s, m, d[3], f.blend + static_cast<size_t>(r.index[j]) * 4);
  }
}

template <WriteKind W>
MixFn select_mix_for(MixKernel k) {
  return with_kernel(k, [](auto kernel) -> MixFn { return &mix_pass<decltype(kernel)::value, W>; });
}

MixFn select_mix(const DabFrame& f) {
  switch (f.write) {
    case WriteKind::Paint: return select_mix_for<WriteKind::Paint>(f.kernel);
    case WriteKind::Erase: return select_mix_for<WriteKind::Erase>(f.kernel);
    case WriteKind::General: return select_mix_for<WriteKind::General>(f.kernel);
    case WriteKind::GeneralRemix: return select_mix_for<WriteKind::GeneralRemix>(f.kernel);
  }
  return nullptr;
}

void colour_row_passes(DabFrame& f, int32_t y, int32_t tr) {
  RowScratch r;
  f.plan.cover(f, y, tr, r);
  if (f.plan.source) {
    f.plan.source(f, r);
    f.plan.mix(f, y, r, r.source.data(), 4);
  } else {
    f.plan.mix(f, y, r, f.dab, 0);
  }
}

template <bool Blend, bool ColorVary, bool LumVary, bool Primary, bool Remix>
void mask_row(DabFrame& f, int32_t y, int32_t tr) {
  constexpr dab::PixelSwitches sw{false, false, false, false, false, ColorVary, LumVary, Primary, false};
  RowScratch r;
  f.plan.cover(f, y, tr, r);
  uint16_t* m = f.mask_plane + static_cast<size_t>(y) * static_cast<size_t>(f.canvas_width) + static_cast<size_t>(f.x0);
  // The mask dab reads the blend buffer as a plane of words, at the straight sample.
  uint16_t* b = Blend ? f.blend + static_cast<size_t>(tr) * 4 * static_cast<size_t>(f.capacity) + f.cx : nullptr;
  for (int32_t j = 0; j < f.cols; ++j) {
    const uint32_t v = r.v[j];
    if (v == 0) continue;
    uint16_t* bj = Blend ? b + f.scale[j] : nullptr;
    const uint32_t value = dab::mask_source(f, sw, Blend, f.color_vary, f.lum_vary, bj);
    dab::mask_write(f, f.mask_solid ? kFull : v, value, m + j, bj, Remix);
  }
}
#ifdef CVL_HAVE_SSE2_DAB_ROW
// (t * opacity) >> 7 of eight 16-bit lanes; the opacity is at most 128, so the
// product's high half is below 128.
inline __m128i opacity8(__m128i t, __m128i os) {
  return _mm_or_si128(_mm_srli_epi16(_mm_mullo_epi16(t, os), 7), _mm_slli_epi16(_mm_mulhi_epu16(t, os), 9));
}

// m < 65535 ? (m * v) >> 16 : v of eight 16-bit lanes.
inline __m128i masked8(__m128i v, __m128i m) {
  const __m128i full = _mm_cmpeq_epi16(m, _mm_set1_epi16(-1));
  return _mm_or_si128(_mm_and_si128(full, v), _mm_andnot_si128(full, _mm_mulhi_epu16(m, v)));
}

// The plain dab row: straight tip samples (one run of the tip row when the
// scale table steps by one) under opacity and mask, as 16-bit coverages, then
// the normal mix four or two pixels at a time. Only the span of the row where
// the tip is not 0 is touched.
template <bool Mask, bool Contiguous>
void plain_normal_row(DabFrame& f, int32_t y, int32_t tr) {
  alignas(16) std::array<uint16_t, kScaleTableSize> v;
  int32_t first, last;
  dab::tip_span(f, tr, first, last);
  const int32_t n = last - first;
  if (n <= 0) return;
  const int32_t* scale = f.scale + first;
  const uint16_t* tip = f.tip + static_cast<size_t>(tr) * static_cast<size_t>(f.capacity) + f.cx;
  const uint16_t* mask = Mask ? f.mask + static_cast<size_t>(y) * static_cast<size_t>(f.canvas_width) +
                                    static_cast<size_t>(f.x0) + static_cast<size_t>(first)
                              : nullptr;
  const uint32_t os = f.opacity_scale;
  int32_t j = 0;
  if constexpr (Contiguous) {
    tip += scale[0];
    const __m128i os8 = _mm_set1_epi16(static_cast<short>(os));
    for (; j + 8 <= n; j += 8) {
      __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tip + j));
      if (os != 128) c = opacity8(c, os8);
      if (Mask) c = masked8(c, _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + j)));
      _mm_store_si128(reinterpret_cast<__m128i*>(v.data() + j), c);
    }
  }
  for (; j < n; ++j) {
    uint32_t c = ((Contiguous ? tip[j] : tip[scale[j]]) * os) >> 7;
    if (Mask) c = dab::masked(c, mask[j]);
    v[static_cast<size_t>(j)] = static_cast<uint16_t>(c);
  }
  uint16_t* p = f.dest + static_cast<size_t>(y) * static_cast<size_t>(f.dest_stride) +
                (static_cast<size_t>(f.x0) + static_cast<size_t>(first)) * 4;
  normal_row_sse2(n, f.dab, p, v.data());
}

// Normal mode with the dab colour, straight samples and no texture, grit or
// solid fill: the most common dab, which the pair mix takes whole.
bool is_plain_normal(const DabFrame& f) {
  return !f.rotate && !f.grit && !f.texture && !f.solid && !f.blending && !f.color_vary.on() && !f.lum_vary.on() &&
         f.kernel == MixKernel::LowNormal && f.write == WriteKind::Paint;
}

DabRowFn select_plain_row(const DabFrame& f) {
  return with_bool(f.mask != nullptr, [&](auto mask) {
    return with_bool(f.straight_run, [&](auto run) -> DabRowFn { return &plain_normal_row<mask, run>; });
  });
}
#endif

}  // namespace

DabRowFn select_colour_row(DabFrame& f) {
#ifdef CVL_HAVE_SSE2_DAB_ROW
  if (is_plain_normal(f)) return select_plain_row(f);
#endif
  // Rotated samples can meet within a row; while the result flows back into the
  // blend buffer each pixel must see its neighbour's write, which only the
  // one-pixel-at-a-time path gives.
  if (f.rotate && f.remixing) return colour_row_generic;
  f.plan = {select_cover(f, f.mask != nullptr, f.solid), select_source(f), select_mix(f)};
  return colour_row_passes;
}

DabRowFn select_mask_row(DabFrame& f) {
  f.plan = {select_cover(f, false, false), nullptr, nullptr};
  return with_bool(f.blending, [&](auto blend) {
    return with_bool(f.color_vary.on(), [&](auto cv) {
      return with_bool(f.lum_vary.on(), [&](auto lv) {
        return with_bool(blend && f.primary, [&](auto primary) {
          return with_bool(f.remixing, [&](auto remix) -> DabRowFn {
            return &mask_row<blend, cv, lv, primary, remix && blend>;
          });
        });
      });
    });
  });
}

}  // namespace cvl
