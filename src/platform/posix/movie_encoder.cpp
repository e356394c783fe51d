#include "platform/posix/movie_encoder.h"

#include <cctype>

#include "platform/avi_file.h"

#ifdef CORVEL_HAVE_FFMPEG
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include "codecs/decoders.h"
#endif

namespace cvl::platform {
namespace {

constexpr uint32_t kMjpg = fourcc('M', 'J', 'P', 'G');
constexpr uint32_t kFfv1 = fourcc('F', 'F', 'V', '1');
constexpr uint32_t kH264 = fourcc('H', '2', '6', '4');

uint32_t upper(uint32_t code) {
  uint32_t out = 0;
  for (int i = 0; i < 4; ++i) out |= uint32_t(std::toupper(int(code >> (8 * i) & 0xFF))) << (8 * i);
  return out;
}

// The stored code of the compressor asked for, whether or not this build has it.
uint32_t canonical(uint32_t handler) {
  const uint32_t code = upper(handler);
  if (code == kMjpg || code == kFfv1) return code;
  if (code == kH264 || code == fourcc('X', '2', '6', '4') || code == fourcc('A', 'V', 'C', '1')) return kH264;
  return 0;
}

#ifdef CORVEL_HAVE_FFMPEG

const AVCodec* find_codec(uint32_t code) {
  switch (code) {
    case kMjpg: return avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    case kFfv1: return avcodec_find_encoder(AV_CODEC_ID_FFV1);
    case kH264: return avcodec_find_encoder_by_name("libx264");
    default: return nullptr;
  }
}

void put16(std::vector<uint8_t>& b, uint16_t v) {
  for (int i = 0; i < 2; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

// The stream format of a compressed video stream: a BITMAPINFOHEADER naming the
// compressor, followed by whatever set-up data the codec needs.
std::vector<uint8_t> stored_header(uint32_t code, int width, int height, const uint8_t* extra, size_t extra_size) {
  std::vector<uint8_t> b;
  put32(b, uint32_t(40 + extra_size));
  put32(b, uint32_t(width));
  put32(b, uint32_t(height));
  put16(b, 1);   // planes
  put16(b, 24);  // bits per pixel once decoded
  put32(b, code);
  put32(b, uint32_t(width * height * 3));
  for (int i = 0; i < 4; ++i) put32(b, 0);  // resolution and colour counts
  if (extra) b.insert(b.end(), extra, extra + extra_size);
  return b;
}

class FfmpegEncoder final : public MovieEncoder {
 public:
  FfmpegEncoder(uint32_t code, const AVCodec* codec, int32_t quality) : code_(code), codec_(codec), quality_(quality) {}
  ~FfmpegEncoder() override {
    sws_freeContext(scale_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&context_);
  }

  bool open(const uint8_t* format, size_t size, uint32_t scale, uint32_t rate,
            std::vector<uint8_t>& stored_format) override {
    format_.assign(format, format + size);
    int32_t width = 0, height = 0;
    if (!imaging::probe_packed_dib(format_.data(), format_.size(), width, height) || !scale || !rate) return false;
    context_ = avcodec_alloc_context3(codec_);
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!context_ || !frame_ || !packet_) return false;
    context_->width = width;
    context_->height = height;
    context_->time_base = AVRational{int(scale), int(rate)};
    context_->framerate = AVRational{int(rate), int(scale)};
    context_->pix_fmt = pixel_format(width, height);
    context_->thread_count = 1;
    set_quality();
    if (avcodec_open2(context_, codec_, nullptr) < 0) return false;
    frame_->format = context_->pix_fmt;
    frame_->width = width;
    frame_->height = height;
    if (av_frame_get_buffer(frame_, 0) < 0) return false;
    scale_ = sws_getContext(width, height, AV_PIX_FMT_RGBA, width, height, context_->pix_fmt, SWS_POINT | SWS_ACCURATE_RND,
                            nullptr, nullptr, nullptr);
    if (!scale_) return false;
    stored_format = stored_header(code_, width, height, context_->extradata, size_t(context_->extradata_size));
    return true;
  }

  bool encode(const uint8_t* bits, size_t size, std::vector<EncodedFrame>& out) override {
    imaging::Image picture;
    if (!context_ || !imaging::decode_dib(format_.data(), format_.size(), bits, size, picture)) return false;
    if (picture.width != context_->width || picture.height != context_->height) return false;
    if (av_frame_make_writable(frame_) < 0) return false;
    const uint8_t* rows[] = {picture.pixels.data()};
    const int strides[] = {picture.width * 4};
    sws_scale(scale_, rows, strides, 0, picture.height, frame_->data, frame_->linesize);
    frame_->pts = next_pts_++;
    return avcodec_send_frame(context_, frame_) >= 0 && drain(out);
  }

  bool finish(std::vector<EncodedFrame>& out) override {
    return context_ && avcodec_send_frame(context_, nullptr) >= 0 && drain(out);
  }

 private:
  // FFV1 keeps RGB as it is; JPEG frames keep full colour resolution; H.264 halves it
  // where the size allows, as players expect.
  AVPixelFormat pixel_format(int width, int height) const {
    if (code_ == kFfv1) return AV_PIX_FMT_BGR0;
    if (code_ == kMjpg) return AV_PIX_FMT_YUVJ444P;
    return width % 2 == 0 && height % 2 == 0 ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_YUV444P;
  }

  // The dialog's quality (1 to 10000, higher is better) as the codec's own scale.
  void set_quality() {
    const bool chosen = quality_ >= 1 && quality_ <= 10000;
    const double loss = chosen ? (10000 - quality_) / 10000.0 : -1;  // 0 best .. 1 worst
    if (code_ == kMjpg) {
      const int q = chosen ? 2 + int(loss * 29 + 0.5) : 3;  // JPEG quantiser 2 (finest) to 31
      context_->flags |= AV_CODEC_FLAG_QSCALE;
      context_->global_quality = FF_QP2LAMBDA * q;
    } else if (code_ == kH264) {
      // One packet per frame and no frames out of order: AVI keeps no time stamps.
      context_->max_b_frames = 0;
      context_->gop_size = 25;
      av_opt_set(context_->priv_data, "tune", "zerolatency", 0);
      av_opt_set_double(context_->priv_data, "crf", chosen ? 10 + loss * 30 : 18, 0);
    }
  }

  bool drain(std::vector<EncodedFrame>& out) {
    for (;;) {
      const int r = avcodec_receive_packet(context_, packet_);
      if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
      if (r < 0) return false;
      out.push_back({std::vector<uint8_t>(packet_->data, packet_->data + packet_->size),
                     (packet_->flags & AV_PKT_FLAG_KEY) != 0});
      av_packet_unref(packet_);
    }
  }

  uint32_t code_;
  const AVCodec* codec_;
  int32_t quality_;
  std::vector<uint8_t> format_;
  AVCodecContext* context_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwsContext* scale_ = nullptr;
  int64_t next_pts_ = 0;
};

#endif

}  // namespace

uint32_t movie_encoder_handler(uint32_t handler) {
#ifdef CORVEL_HAVE_FFMPEG
  const uint32_t code = canonical(handler);
  return code && find_codec(code) ? code : 0;
#else
  (void)canonical(handler);
  return 0;
#endif
}

std::unique_ptr<MovieEncoder> make_movie_encoder(uint32_t handler, int32_t quality) {
#ifdef CORVEL_HAVE_FFMPEG
  // FFmpeg's notes on every movie (statistics, pixel format hints) stay out of the host's console.
  av_log_set_level(AV_LOG_ERROR);
  const uint32_t code = canonical(handler);
  if (const AVCodec* codec = code ? find_codec(code) : nullptr)
    return std::make_unique<FfmpegEncoder>(code, codec, quality);
#else
  (void)handler, (void)quality;
#endif
  return nullptr;
}

}  // namespace cvl::platform
