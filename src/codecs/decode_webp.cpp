// WebP through libwebp, read from memory. An animation gives its first frame as the
// animation decoder composes it on the canvas, as GIF gives its first frame. The
// orientation comes from the file's EXIF chunk, else its XMP chunk.
#include <webp/decode.h>
#include <webp/demux.h>

#include <cstring>
#include <memory>

#include "codecs/decode_support.h"
#include "codecs/decoders.h"
#include "codecs/orientation.h"

namespace cvl::imaging {
namespace {

struct DemuxCloser {
  void operator()(WebPDemuxer* d) const { WebPDemuxDelete(d); }
};
struct AnimCloser {
  void operator()(WebPAnimDecoder* d) const { WebPAnimDecoderDelete(d); }
};

uint16_t chunk_orientation(WebPDemuxer* demux, const char* fourcc, uint16_t (*read)(const uint8_t*, size_t)) {
  WebPChunkIterator chunk;
  uint16_t value = 0;
  if (WebPDemuxGetChunk(demux, fourcc, 1, &chunk)) value = read(chunk.chunk.bytes, chunk.chunk.size);
  WebPDemuxReleaseChunkIterator(&chunk);
  return value;
}

uint16_t webp_orientation(const uint8_t* data, size_t size) {
  const WebPData bytes{data, size};
  std::unique_ptr<WebPDemuxer, DemuxCloser> demux(WebPDemux(&bytes));
  if (!demux) return kUpright;
  return stated_orientation(chunk_orientation(demux.get(), "EXIF", exif_orientation),
                            chunk_orientation(demux.get(), "XMP ", xmp_orientation));
}

bool first_frame(const uint8_t* data, size_t size, Image& out) {
  const WebPData bytes{data, size};
  WebPAnimDecoderOptions options;
  if (!WebPAnimDecoderOptionsInit(&options)) return false;
  options.color_mode = MODE_RGBA;
  options.use_threads = 0;
  std::unique_ptr<WebPDemuxer, DemuxCloser> demux(WebPDemux(&bytes));
  if (!demux) return false;
  const uint32_t width = WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH);
  const uint32_t height = WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT);
  if (!allocate_rgba(out, width, height)) return false;
  std::unique_ptr<WebPAnimDecoder, AnimCloser> anim(WebPAnimDecoderNew(&bytes, &options));
  uint8_t* frame = nullptr;
  int timestamp = 0;
  if (!anim || !WebPAnimDecoderGetNext(anim.get(), &frame, &timestamp) || !frame) return false;
  std::memcpy(out.pixels.data(), frame, out.pixels.size());
  return true;
}

}  // namespace

bool decode_webp(const uint8_t* data, size_t size, Image& out) {
  out = Image{};
  WebPBitstreamFeatures features;
  if (!data || WebPGetFeatures(data, size, &features) != VP8_STATUS_OK) return false;
  if (features.has_animation) {
    if (!first_frame(data, size, out)) return refuse(out);
  } else {
    if (!allocate_rgba(out, features.width, features.height)) return refuse(out);
    // Opaque pictures come out with alpha 255, as from every other reader.
    if (!WebPDecodeRGBAInto(data, size, out.pixels.data(), out.pixels.size(), out.width * 4)) return refuse(out);
  }
  apply_orientation(out, webp_orientation(data, size));
  return true;
}

bool probe_webp(const uint8_t* data, size_t size, ImageInfo& info) {
  WebPBitstreamFeatures features;
  if (!data || WebPGetFeatures(data, size, &features) != VP8_STATUS_OK) return false;
  info.width = features.width;
  info.height = features.height;
  orient_info(info, webp_orientation(data, size));
  return true;
}

}  // namespace cvl::imaging
