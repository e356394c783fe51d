// GIF through giflib: the first frame only, placed on the logical screen, with the
// frame's transparent index (from its graphic control block) as alpha 0. A file with
// no colour table at all is read as grey, index i as (i, i, i). Frames whose codes start
// wider than giflib takes are decoded by gif_lzw.
#include <gif_lib.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "codecs/decode_support.h"
#include "codecs/decoders.h"
#include "codecs/gif_lzw.h"

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

// A frame's place on the logical screen and its colours (null: none, read as grey).
struct FrameDesc {
  int left = 0, top = 0, width = 0, height = 0;
  bool interlace = false;
  const GifColorType* colours = nullptr;
  int colour_count = 0;
};

// Hands the frame's rows of colour indices over in the order they are stored.
using LineReader = std::function<bool(uint16_t* line, int width)>;

bool place_frame(const GifFileType* gif, const FrameDesc& d, int transparent, const LineReader& next_line,
                 Image& out) {
  if (d.width <= 0 || d.height <= 0 || !acceptable_size(d.width, d.height)) return false;
  int64_t screen_w = gif->SWidth, screen_h = gif->SHeight;
  if (screen_w <= 0 || screen_h <= 0) screen_w = d.left + int64_t(d.width), screen_h = d.top + int64_t(d.height);
  if (!allocate_rgba(out, screen_w, screen_h)) return false;

  std::vector<uint16_t> line(static_cast<size_t>(d.width));
  static const int kPassStart[] = {0, 4, 2, 1}, kPassStep[] = {8, 8, 4, 2};
  const int passes = d.interlace ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    const int start = d.interlace ? kPassStart[pass] : 0, step = d.interlace ? kPassStep[pass] : 1;
    for (int y = start; y < d.height; y += step) {
      if (!next_line(line.data(), d.width)) return false;
      const int64_t sy = int64_t(d.top) + y;
      if (sy < 0 || sy >= screen_h) continue;
      uint8_t* row = out.pixels.data() + size_t(sy) * size_t(screen_w) * 4;
      for (int x = 0; x < d.width; ++x) {
        const int64_t sx = int64_t(d.left) + x;
        if (sx < 0 || sx >= screen_w) continue;
        uint8_t* px = row + sx * 4;
        const int index = line[size_t(x)];
        if (index == transparent) continue;  // stays 0, 0, 0, 0
        if (!d.colours) {
          px[0] = px[1] = px[2] = uint8_t(index);
        } else if (index < d.colour_count) {
          const GifColorType& c = d.colours[index];
          px[0] = c.Red, px[1] = c.Green, px[2] = c.Blue;
        }
        px[3] = 255;
      }
    }
  }
  return true;
}

FrameDesc frame_colours(FrameDesc d, const ColorMapObject* map) {
  d.colours = map ? map->Colors : nullptr;
  d.colour_count = map ? map->ColorCount : 0;
  return d;
}

bool read_frame(GifFileType* gif, int transparent, Image& out) {
  if (DGifGetImageDesc(gif) != GIF_OK) return false;
  const GifImageDesc& g = gif->Image;
  const ColorMapObject* map = g.ColorMap ? g.ColorMap : gif->SColorMap;
  if (map && (!map->Colors || map->ColorCount <= 0)) return false;
  std::vector<GifByteType> bytes(static_cast<size_t>(std::max(g.Width, 0)));
  const auto next_line = [&](uint16_t* line, int width) {
    if (DGifGetLine(gif, bytes.data(), width) != GIF_OK) return false;
    std::copy_n(bytes.data(), width, line);
    return true;
  };
  return place_frame(gif, frame_colours({g.Left, g.Top, g.Width, g.Height, g.Interlace != 0}, map), transparent,
                     next_line, out);
}

// The frame's minimum code size, read ahead of giflib from just past the frame's
// separator: after the descriptor and any local colour table. -1 when cut off.
int peek_code_size(const MemorySource& s) {
  ByteReader r(s.data + s.pos, s.size - s.pos);
  r.skip(8);
  const uint8_t flags = r.u8();
  if (flags & 0x80) r.skip(size_t(3) << ((flags & 7) + 1));
  const uint8_t size = r.u8();
  return r.ok() ? size : -1;
}

// A frame giflib refuses for its wide codes, read from just past its separator.
bool read_wide_frame(GifFileType* gif, const MemorySource& s, int transparent, Image& out) {
  ByteReader r(s.data + s.pos, s.size - s.pos);
  FrameDesc d;
  d.left = r.u16le(), d.top = r.u16le(), d.width = r.u16le(), d.height = r.u16le();
  const uint8_t flags = r.u8();
  d.interlace = (flags & 0x40) != 0;
  std::vector<GifColorType> local;
  if (flags & 0x80) {
    const size_t n = size_t(2) << (flags & 7);
    const uint8_t* table = r.take(n * 3);
    if (!table) return false;
    for (size_t i = 0; i < n; ++i) local.push_back({table[3 * i], table[3 * i + 1], table[3 * i + 2]});
    d.colours = local.data(), d.colour_count = int(n);
  } else {
    d = frame_colours(d, gif->SColorMap);
  }
  std::vector<uint16_t> indices;
  if (!r.ok() || !acceptable_size(d.width, d.height) || !decode_gif_lzw(r, size_t(d.width) * d.height, indices))
    return false;
  size_t at = 0;
  const auto next_line = [&](uint16_t* line, int width) {
    std::copy_n(indices.data() + at, width, line);
    at += size_t(width);
    return true;
  };
  return place_frame(gif, d, transparent, next_line, out);
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
    if (type == IMAGE_DESC_RECORD_TYPE) {
      const int code_size = peek_code_size(source);
      if (code_size > 8 && code_size < 12) return read_wide_frame(gif.get(), source, transparent, out) || refuse(out);
      return read_frame(gif.get(), transparent, out) || refuse(out);
    }
    if (type == EXTENSION_RECORD_TYPE) {
      if (!read_extension(gif.get(), transparent)) return refuse(out);
      continue;
    }
    return refuse(out);  // trailer or garbage before any frame
  }
}

}  // namespace cvl::imaging
