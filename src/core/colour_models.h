// Conversions between 8-bit RGB and the colour models the effects, the Lua
// filters and the colour-range mask builders work in: HSV, HSL, CIE XYZ (D65,
// white at Y = 100), CIE L*a*b* and CMY(K).
//
// Everything is computed in double precision. Results going back to bytes are
// multiplied by 255 and truncated toward zero (never rounded): stored selections
// and filter outputs depend on these exact bytes. Out-parameters are written
// only where a conversion defines them (a grey leaves the HSV saturation alone).
#pragma once

#include <cstdint>

namespace cvl {

// Hue marker that RgbToHsv gives greys, whose hue is undefined.
constexpr double kAchromaticHue = -1.0;

// D65 reference white of the Lab conversions, Y scaled to 100.
constexpr double kWhiteX = 95.047;
constexpr double kWhiteY = 100.0;
constexpr double kWhiteZ = 108.883;

// 0..255 in; H in degrees [0, 360) or kAchromaticHue, S and V in 0..1.
// For a grey, H becomes kAchromaticHue and S is left as it was.
void RgbToHsv(int r, int g, int b, double& h, double& s, double& v);
// H in degrees (360 counts as 0), S and V in 0..1.
void HsvToRgb(double h, double s, double v, uint8_t& r, uint8_t& g, uint8_t& b);

// 0..255 in; H in degrees [0, 360], S and L in 0..1; greys give H = S = 0.
void RgbToHsl(int r, int g, int b, double& h, double& s, double& l);
// The lightness RgbToHsl gives, the same double, without the hue and saturation.
double HslLightness(int r, int g, int b);
void HslToRgb(double h, double s, double l, uint8_t& r, uint8_t& g, uint8_t& b);

// sRGB companding, D65; negative results become 0.
void RgbToXyz(int r, int g, int b, double& x, double& y, double& z);
// Channels outside the sRGB gamut clamp to 0..255.
void XyzToRgb(double x, double y, double z, uint8_t& r, uint8_t& g, uint8_t& b);

void XyzToLab(double x, double y, double z, double& l, double& a, double& bb);
void LabToXyz(double l, double a, double bb, double& x, double& y, double& z);
void LabToRgb(double l, double a, double bb, uint8_t& r, uint8_t& g, uint8_t& b);

// In-place: C, M, Y (0..1, formed as 1 - channel / 255) become the CMYK
// components and K is written.
void CmyToCmyk(double& c, double& m, double& y, double& k);
void CmykToRgb(double c, double m, double y, double k, uint8_t& r, uint8_t& g, uint8_t& b);

// A value on the 0..1 scale back to a byte: times 255, truncated toward zero,
// held to 0..255 (NaN gives 0).
inline uint8_t unit_to_byte(double v) {
  const double scaled = v * 255.0;
  if (!(scaled > 0.0)) return 0;
  if (scaled >= 255.0) return 255;
  return static_cast<uint8_t>(static_cast<int>(scaled));
}

}  // namespace cvl
