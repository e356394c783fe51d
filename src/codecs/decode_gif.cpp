// GIF through giflib: the first frame only, placed on the logical screen, with the
// frame's transparent index (from its graphic control block) as alpha 0.
#include <gif_lib.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "codecs/decode_support.h"
#include "codecs/decoders.h"

namespace cvl::imaging {
namespace {

int read_from_memory(GifFileType* gif, GifByteType* out, int length) {
  return length <= 0 ? 0 : static_cast<int>(static_cast<MemorySource*>(gif->UserData)->read(out, size_t(length)));
}

struct GifCloser {
  void operator()(GifFileType* g) const {
    int error = 0;
    DGifCloseFile(g, &error);
  }
};

// Reads the transparent index out of the extension blocks before the frame, and
// skips every other extension.
bool read_extension(GifFileType* gif, int& transparent) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
  while (block) {
    if (code == GRAPHICS_EXT_FUNC_CODE && block[0] >= 4 && (block[1] & 1)) transparent = block[4];
    code = 0;
    if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
  }
  return true;
}

bool read_frame(GifFileType* gif, int transparent, Image& out) {
  if (DGifGetImageDesc(gif) != GIF_OK) return false;
  const GifImageDesc& d = gif->Image;
  const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
  if (!map || !map->Colors || map->ColorCount <= 0) return false;
  if (d.Width <= 0 || d.Height <= 0 || !acceptable_size(d.Width, d.Height)) return false;
  int64_t screen_w = gif->SWidth, screen_h = gif->SHeight;
  if (screen_w <= 0 || screen_h <= 0) screen_w = d.Left + int64_t(d.Width), screen_h = d.Top + int64_t(d.Height);
  if (!allocate_rgba(out, screen_w, screen_h)) return false;

  std::vector<GifByteType> line(static_cast<size_t>(d.Width));
  static const int kPassStart[] = {0, 4, 2, 1}, kPassStep[] = {8, 8, 4, 2};
  const int passes = d.Interlace ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    const int start = d.Interlace ? kPassStart[pass] : 0, step = d.Interlace ? kPassStep[pass] : 1;
    for (int y = start; y < d.Height; y += step) {
      if (DGifGetLine(gif, line.data(), d.Width) != GIF_OK) return false;
      const int64_t sy = int64_t(d.Top) + y;
      if (sy < 0 || sy >= screen_h) continue;
      uint8_t* row = out.pixels.data() + size_t(sy) * size_t(screen_w) * 4;
      for (int x = 0; x < d.Width; ++x) {
        const int64_t sx = int64_t(d.Left) + x;
        if (sx < 0 || sx >= screen_w) continue;
        uint8_t* px = row + sx * 4;
        const int index = line[size_t(x)];
        if (index == transparent) continue;  // stays 0, 0, 0, 0
        if (index < map->ColorCount) {
          const GifColorType& c = map->Colors[index];
          px[0] = c.Red, px[1] = c.Green, px[2] = c.Blue;
        }
        px[3] = 255;
      }
    }
  }
  return true;
}

}  // namespace

bool decode_gif(const uint8_t* data, size_t size, Image& out) {
  out = Image{};
  if (!data || size < 13) return false;
  MemorySource source{data, size};
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, read_from_memory, &error));
  if (!gif) return false;
  int transparent = -1;
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &type) != GIF_OK) return refuse(out);
    if (type == IMAGE_DESC_RECORD_TYPE) return read_frame(gif.get(), transparent, out) || refuse(out);
    if (type == EXTENSION_RECORD_TYPE) {
      if (!read_extension(gif.get(), transparent)) return refuse(out);
      continue;
    }
    return refuse(out);  // trailer or garbage before any frame
  }
}

}  // namespace cvl::imaging
