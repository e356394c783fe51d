// WebP writing through libwebp's full encoder interface, which (unlike its one-call
// helpers) can keep the colour under fully transparent pixels: a lossless file must
// give back every byte it was handed.
#include <webp/encode.h>

#include "codecs/encode.h"
#include "codecs/file_sink.h"

namespace cvl::imaging {

namespace {

// The encoder's own structures, released on every path out.
struct WebPSession {
  WebPConfig config;
  WebPPicture picture;
  WebPMemoryWriter memory;
  bool ready = false;

  WebPSession() {
    WebPMemoryWriterInit(&memory);
    ready = WebPConfigInit(&config) && WebPPictureInit(&picture);
  }
  ~WebPSession() {
    if (ready) WebPPictureFree(&picture);
    WebPMemoryWriterClear(&memory);
  }
  WebPSession(const WebPSession&) = delete;
  WebPSession& operator=(const WebPSession&) = delete;
};

}  // namespace

bool write_webp(const char* path, const ImageView& src, int quality) {
  if (!path || !src.data || src.width <= 0 || src.height <= 0 || src.width > WEBP_MAX_DIMENSION ||
      src.height > WEBP_MAX_DIMENSION || (src.channels != 3 && src.channels != 4))
    return false;
  WebPSession s;
  if (!s.ready) return false;
  const bool lossless = quality < 0 || quality > 100;
  if (lossless) {
    s.config.lossless = 1;
    s.config.exact = 1;
    s.config.quality = 75;  // effort for lossless: the library's default balance of size and time
  } else {
    s.config.quality = static_cast<float>(quality);
  }
  s.config.thread_level = 0;
  if (!WebPValidateConfig(&s.config)) return false;
  s.picture.use_argb = lossless ? 1 : 0;
  s.picture.width = src.width;
  s.picture.height = src.height;
  const int imported = src.channels == 4 ? WebPPictureImportRGBA(&s.picture, src.data, src.stride)
                                         : WebPPictureImportRGB(&s.picture, src.data, src.stride);
  if (!imported) return false;
  s.picture.writer = WebPMemoryWrite;
  s.picture.custom_ptr = &s.memory;
  if (!WebPEncode(&s.config, &s.picture)) return false;
  FileSink sink(path);
  sink.bytes(s.memory.mem, s.memory.size);
  return sink.close();
}

}  // namespace cvl::imaging
