// Compressed movie frames through FFmpeg's codec library: Motion JPEG ("MJPG"), the
// lossless FFV1 ("FFV1") and H.264 ("H264"), each where this build's library offers an
// encoder. Frames arrive as device-independent bitmaps and leave as the packets an AVI
// stream stores, one per frame. Without the library no compressor is offered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace cvl::platform {

// The four-character code a compressor is stored under for `handler` (case and the
// common aliases of H.264 folded); 0 when this build cannot encode it.
uint32_t movie_encoder_handler(uint32_t handler);

struct EncodedFrame {
  std::vector<uint8_t> data;
  bool key = false;
};

class MovieEncoder {
 public:
  virtual ~MovieEncoder() = default;
  // Opens the codec for frames described by `bitmap_format` (a BITMAPINFOHEADER and its
  // colour table) shown every scale / rate seconds; `stored_format` receives the stream
  // format to store (the header naming the compressor, then the codec's own data).
  virtual bool open(const uint8_t* bitmap_format, size_t size, uint32_t scale, uint32_t rate,
                    std::vector<uint8_t>& stored_format) = 0;
  // Encodes one frame's bits; the packets ready so far are appended to `out`.
  virtual bool encode(const uint8_t* bits, size_t size, std::vector<EncodedFrame>& out) = 0;
  // Drains what the codec still holds.
  virtual bool finish(std::vector<EncodedFrame>& out) = 0;
};

// An encoder for a handler movie_encoder_handler accepted; `quality` 1 to 10000 (the
// compression dialog's scale), anything else the codec's good default.
std::unique_ptr<MovieEncoder> make_movie_encoder(uint32_t handler, int32_t quality);

}  // namespace cvl::platform
