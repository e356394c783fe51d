// A plain, one-pixel-at-a-time compositor written straight from the mix-mode
// formulas, with a switch on the mode for every pixel. The engine's compositor
// specialises and vectorises its loops; the tests hold it to this version word
// for word.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace cvl::test::reference {

inline float clamp01(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }

inline uint32_t tone_channel(uint32_t ch, uint32_t a, uint32_t p, float L, float D) {
  int32_t v;
  if (a > p) {
    const float f = static_cast<float>(a - p) / L;
    v = static_cast<int32_t>(static_cast<float>(ch) + static_cast<float>(65535 - ch) * f);
  } else {
    const float f = static_cast<float>(p - a) / D;
    v = static_cast<int32_t>(static_cast<float>(ch) - static_cast<float>(ch) * f);
  }
  return static_cast<uint32_t>(std::clamp(v, 0, 65535));
}

inline void shade(uint32_t c[3], uint32_t a) {
  for (int i = 0; i < 3; ++i) {
    if (a < 0x7FFF) {
      const uint32_t d = 2 * (0x7FFF - a);
      c[i] = c[i] < d ? 0 : c[i] - d;
    } else {
      c[i] = std::min<uint32_t>(65535, c[i] + (2 * a - 65534));
    }
  }
}

// V for blend k of one channel.
inline float blend_value(int k, float S, float D, float Sa, float Da, float dmean, float s) {
  const float P = S * (1 - Da) + D * (1 - Sa);
  switch (k) {
    case 1: return S * D + P;
    case 2: return S + D - S * D;
    case 3: return D * Sa > S * Da ? S + D * (1 - Sa) : D + S * (1 - Da);
    case 4: return D * Sa < S * Da ? S + D * (1 - Sa) : D + S * (1 - Da);
    case 5: return S + D - 2 * std::min(S * Da, D * Sa);
    case 6:
    case 7: return S + D - 2 * S * D;
    case 8: return 2 * D < Da ? 2 * S * D + P : Sa * Da - 2 * (Da - D) * (Sa - S) + P;
    case 9: return 2 * S < Sa ? 2 * S * D + P : Sa * Da - 2 * (Da - D) * (Sa - S) + P;
    case 10: {
      const float m = D / Da;
      if (2 * S < Sa) return D * (Sa + (2 * S - Sa) * (1 - m)) + P;
      if (8 * D <= Da) return D * (Sa + (2 * S - Sa) * (1 - m) * (3 - 8 * m)) + P;
      return D * Sa + (2 * S - Sa) * (Da * std::sqrt(m) - D) + P;
    }
    case 11: return S * Da + D * Sa >= Sa * Da ? Sa * Da + P : D * Sa / (1 - S / Sa) + P;
    case 12: return S * Da + D * Sa > Sa * Da ? Sa * (S * Da + D * Sa - Sa * Da) / S + P : P;
    case 15: return S + D;
    case 16: return S + D - Sa * Da;
    case 17: {
      const float n = dmean + Sa * (s - 0.5f);
      return D / Da + 1.75f * Sa * (n - 0.5f);
    }
    case 18: return D / Da + 1.75f * Sa * (s - 0.5f);
    case 19: return D / Da;
    default: return S + D * (1 - Sa);
  }
}

struct Options {
  int mode = 0;
  const uint16_t* layer_mask = nullptr;  // one mask pixel
  int layer_mask_mode = 0;
  int opacity = 256;
  bool keep_alpha = false;
  bool same_alpha = false;
};

inline void composite_pixel(const uint16_t* src, uint16_t* dst, const Options& opt) {
  const int mode = opt.mode;
  const bool T = opt.same_alpha;
  const uint32_t r = src[0], g = src[1], b = src[2];
  uint32_t a = src[3];
  const uint32_t A = dst[3];
  if (a == 0 && mode <= 20) return;
  if (opt.layer_mask && opt.layer_mask_mode == 38 && opt.layer_mask[3] > 0) {
    const uint16_t* m = opt.layer_mask;
    a = ((static_cast<uint32_t>(m[0]) + m[1] + m[2]) / 3 * a) >> 16;
  }
  if (opt.opacity < 255) a = (static_cast<uint32_t>(opt.opacity + 1) * a) >> 8;
  uint32_t o = a;
  int k = mode;
  uint32_t c[3] = {r, g, b};
  bool replace = false;
  auto white = [&] { c[0] = c[1] = c[2] = 65535; };
  auto black = [&] { c[0] = c[1] = c[2] = 0; };
  auto tone = [&](uint32_t p, float L, float D) {
    for (uint32_t& ch : c) ch = tone_channel(ch, a, p, L, D);
  };
  auto cutoff_a = [&] { if (a > 0) o = a < 0x1FFF ? 0 : 65535; };
  auto cutoff_b = [&] {
    if (a == 0) return;
    if (a < 0x1FFF) o = 0;
    else if (a < 0x23FF) o = 65535 - std::min<uint32_t>(65535, (0x23FF - a) * 64);
    else o = 65535;
  };
  if (mode >= 21 && T && mode != 38 && mode != 39 && mode != 40) {
    switch (mode) {
      case 31: case 32: case 33:
        if (a < 0x1FFF) o = 0; else replace = true;
        break;
      case 34: case 35:
        if (a < 0x1FFF) o = 0;
        else if (a >= 0x23FF) replace = true;
        else k = 1;
        break;
      case 37:
        if (a <= 0x7F00) o = 0; else replace = true;
        break;
      default:
        if (a > 0) replace = true;
    }
  } else if (mode >= 21) {
    switch (mode) {
      case 21: white(); o = 65535 - a; break;
      case 22: case 36: if (a > 0 && a < 0xFF00) { black(); o = 65535; } break;
      case 23: if (a > 0) o = a < 0x2FFF ? 65535 - a : 0x2FFF; break;
      case 24: if (a > 0) o = a < 0x2FFF ? 65535 - a : 0x7FFF; break;
      case 25: if (a > 0) o = 65535 - a; break;
      case 26: if (a > 0) { c[0] = c[1] = c[2] = a; o = 65535; } break;
      case 27: if (a > 0) { shade(c, a); o = 65535; } break;
      case 28: if (a > 0) { shade(c, a); o = 65535; k = 18; } break;
      case 29:
        if (a > 0) {
          if (a >= 0x7FFF) { shade(c, a); o = 65535; }
          else { const uint32_t d = 2 * (0x7FFF - a); o = a < d ? 0 : a - d; }
          k = 18;
        }
        break;
      case 30:
        if (a > 0) {
          if (a >= 0x7FFF) o = 65535;
          else { const uint32_t d = 4 * (0x7FFF - a); o = a < d ? 0 : a - d; }
        }
        break;
      case 31: tone(0x7FFF, 32767, 32767); cutoff_a(); break;
      case 32: tone(0x7FFF, 32767, 65535); cutoff_a(); break;
      case 33: tone(0x8FFE, 28672, 30000); cutoff_a(); break;
      case 34: tone(0x8FFE, 28672, 30000); cutoff_b(); break;
      case 35: tone(0x7FFF, 32767, 32767); cutoff_b(); break;
      case 37: if (a > 0x7F00) o = 0; break;
      default: break;
    }
  }
  if (mode == 38) o = 0;
  if (mode == 39) { const uint32_t l = (r + g + b) / 3; white(); o = l; }
  if (mode == 40) { const uint32_t l = (r + g + b) / 3; black(); o = 65535 - l; }

  auto put = [&](uint32_t v0, uint32_t v1, uint32_t v2, uint32_t va) {
    dst[0] = static_cast<uint16_t>(v0);
    dst[1] = static_cast<uint16_t>(v1);
    dst[2] = static_cast<uint16_t>(v2);
    if (!opt.keep_alpha) dst[3] = static_cast<uint16_t>(va);
  };
  if (A == 0 || replace) {
    if (k >= 17 && k <= 19) put(0, 0, 0, 0); else put(c[0], c[1], c[2], o);
    return;
  }
  if (o == 0) return;
  if (o >= 65280 && (k == 0 || k == 20)) {
    put(c[0], c[1], c[2], o);
    return;
  }
  const float Sa = static_cast<float>(o) / 65535.0f, Da = static_cast<float>(A) / 65535.0f;
  float S[3], D[3];
  for (int i = 0; i < 3; ++i) {
    S[i] = static_cast<float>(c[i]) * Sa / 65280.0f;
    D[i] = static_cast<float>(dst[i]) * Da / 65280.0f;
  }
  float Ra = Da + (1 - Da) * Sa;
  if (k == 15 || k == 16) Ra = Da + Sa;
  if (k >= 17 && k <= 19) Ra = Da;
  const float dmean = (D[0] / Da + D[1] / Da + D[2] / Da) / 3.0f;
  const float s = static_cast<float>(c[0] + c[1] + c[2]) / 195840.0f;
  Ra = clamp01(Ra);
  uint32_t out[3];
  for (int i = 0; i < 3; ++i)
    out[i] = static_cast<uint32_t>(clamp01(blend_value(k, S[i], D[i], Sa, Da, dmean, s) / Ra) * 65280.0f);
  put(out[0], out[1], out[2], static_cast<uint32_t>(Ra * 65535.0f));
}

}  // namespace cvl::test::reference
