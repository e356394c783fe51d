// What an independent decoder (Python's PIL) sees in a file the engine wrote: the
// format it recognises, the pixels as RGBA and the resolution it reports.
#pragma once

#include <fstream>
#include <string>

#include "codecs/independent_decoder.h"

namespace cvl::test {

struct PilView {
  std::string format;  // PIL's format name ("PNG", "JPEG", "BMP", ...), empty when unreadable
  imaging::Image image;
  double dpi_x = 0, dpi_y = 0;  // 0 when the file states none
};

inline PilView read_with_pil(const ScratchDir& dir, const std::string& path) {
  PilView v;
  const std::string code = "F = '" + path + "'\ndump(F, F + '.raw')\nim = Image.open(F)\nd = im.info.get('dpi')\n"
                           "open(F + '.info', 'w').write('%s %f %f' % (im.format, float(d[0]), float(d[1])) "
                           "if d else '%s 0 0' % im.format)\n";
  if (!dir.python(code)) return v;
  v.image = read_dump(path + ".raw");
  std::ifstream(path + ".info") >> v.format >> v.dpi_x >> v.dpi_y;
  return v;
}

// A deterministic RGBA picture: smooth enough for JPEG, with some transparent pixels.
inline imaging::Image test_picture(int w, int h, bool with_alpha) {
  imaging::Image im;
  im.width = w, im.height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      im.pixels.insert(im.pixels.end(), {uint8_t(x * 255 / w), uint8_t(y * 255 / h), uint8_t((x + y) * 2),
                                         uint8_t(with_alpha && (x + 2 * y) % 5 == 0 ? 40 + x % 100 : 255)});
  return im;
}

inline std::vector<uint8_t> rgb_of(const imaging::Image& im) {
  std::vector<uint8_t> rgb;
  for (size_t i = 0; i < im.pixels.size(); i += 4) rgb.insert(rgb.end(), {im.pixels[i], im.pixels[i + 1], im.pixels[i + 2]});
  return rgb;
}

// The picture with every alpha set to 255, as a decoder reports a file without alpha.
inline imaging::Image opaque(imaging::Image im) {
  for (size_t i = 3; i < im.pixels.size(); i += 4) im.pixels[i] = 255;
  return im;
}

}  // namespace cvl::test
