// Movies as RIFF AVI files written by us: a header list with one stream list per
// stream, a 'movi' list of frame chunks and an 'idx1' index. Frames go to disk as
// they arrive; the headers are written before the first frame (or at the close)
// and their counts are patched when the file is completed. Compressed streams hand
// their frames to an encoder (movie_encoder.h) and store the packets it gives back.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/avi_file.h"
#include "platform/posix/movie_encoder.h"

namespace cvl::platform {

struct AviStream {
  AviFile* file = nullptr;
  AviStream* target = nullptr;  // the file stream a compressed stream writes to; null for a file stream
  AviStreamInfo info;
  std::vector<uint8_t> format;
  std::unique_ptr<MovieEncoder> encoder;  // a compressed stream's; null when frames are stored
  uint32_t frames = 0;  // chunks written (a compressed stream: frames handed to the encoder)
  uint32_t largest_frame = 0;
  long length_at = 0;  // where this stream's header keeps its length, once written
};

struct AviFile {
  std::FILE* out = nullptr;
  std::vector<std::unique_ptr<AviStream>> streams;
  std::vector<std::unique_ptr<AviStream>> compressed;
  bool headers_written = false;
  bool failed = false;
  long movi_at = 0;  // offset of the 'movi' list type, the base of index offsets
  struct IndexEntry {
    uint32_t id, flags, offset, size;
  };
  std::vector<IndexEntry> index;
  int32_t width = 0, height = 0;
};

namespace {

// Readers of these files treat sizes as signed 32-bit; stay below that.
constexpr uint64_t kMaxFileSize = 0x7FFFFFFF;
constexpr uint32_t kAviHasIndex = 0x10;

void put16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
void set32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

bool write_at(std::FILE* f, long at, uint32_t v) {
  uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  return std::fseek(f, at, SEEK_SET) == 0 && std::fwrite(b, 1, 4, f) == 4;
}

// Chunk ids of stream n: "00db" for uncompressed video, "00dc" for compressed.
uint32_t chunk_id(uint32_t n, const AviStream& s) {
  const bool plain = s.info.handler == 0 || s.info.handler == kHandlerUncompressed;
  return fourcc(char('0' + n / 10 % 10), char('0' + n % 10), 'd', plain ? 'b' : 'c');
}

uint32_t per_second(uint64_t bytes, const AviStreamInfo& info) {
  return info.scale ? uint32_t(bytes * info.rate / info.scale) : 0;
}

// Everything before the first frame: RIFF, hdrl (avih and one strl per stream)
// and the start of the movi list. Sizes and counts are patched at the close.
bool write_headers(AviFile& f) {
  std::vector<uint8_t> b;
  put32(b, fourcc('R', 'I', 'F', 'F'));
  put32(b, 0);
  put32(b, fourcc('A', 'V', 'I', ' '));
  put32(b, fourcc('L', 'I', 'S', 'T'));
  const size_t hdrl_size = b.size();
  put32(b, 0);
  put32(b, fourcc('h', 'd', 'r', 'l'));
  put32(b, fourcc('a', 'v', 'i', 'h'));
  put32(b, 56);
  const AviStreamInfo first = f.streams.empty() ? AviStreamInfo{} : f.streams[0]->info;
  put32(b, first.rate ? uint32_t(uint64_t(first.scale) * 1000000 / first.rate) : 0);  // microseconds per frame
  put32(b, per_second(first.suggested_buffer_size, first));
  put32(b, 0);  // padding granularity
  put32(b, kAviHasIndex);
  put32(b, 0);  // total frames, patched
  put32(b, 0);  // initial frames
  put32(b, uint32_t(f.streams.size()));
  put32(b, first.suggested_buffer_size);
  put32(b, uint32_t(first.frame_right - first.frame_left));
  put32(b, uint32_t(first.frame_bottom - first.frame_top));
  for (int i = 0; i < 4; ++i) put32(b, 0);
  std::vector<size_t> length_offsets;
  for (const auto& s : f.streams) {
    put32(b, fourcc('L', 'I', 'S', 'T'));
    put32(b, uint32_t(4 + 8 + 56 + 8 + s->format.size() + (s->format.size() & 1)));
    put32(b, fourcc('s', 't', 'r', 'l'));
    put32(b, fourcc('s', 't', 'r', 'h'));
    put32(b, 56);
    put32(b, s->info.type);
    put32(b, s->info.handler);
    put32(b, 0);  // flags
    put16(b, 0);  // priority
    put16(b, 0);  // language
    put32(b, 0);  // initial frames
    put32(b, s->info.scale);
    put32(b, s->info.rate);
    put32(b, 0);  // start
    length_offsets.push_back(b.size());
    put32(b, 0);  // length, patched
    put32(b, s->info.suggested_buffer_size);
    put32(b, 0xFFFFFFFF);  // quality: the default
    put32(b, 0);           // sample size: frames vary
    put16(b, uint16_t(s->info.frame_left));
    put16(b, uint16_t(s->info.frame_top));
    put16(b, uint16_t(s->info.frame_right));
    put16(b, uint16_t(s->info.frame_bottom));
    put32(b, fourcc('s', 't', 'r', 'f'));
    put32(b, uint32_t(s->format.size()));
    b.insert(b.end(), s->format.begin(), s->format.end());
    if (s->format.size() & 1) b.push_back(0);
  }
  set32(b, hdrl_size, uint32_t(b.size() - hdrl_size - 4));
  put32(b, fourcc('L', 'I', 'S', 'T'));
  put32(b, 0);  // movi size, patched
  f.movi_at = long(b.size());
  put32(b, fourcc('m', 'o', 'v', 'i'));
  for (size_t i = 0; i < f.streams.size(); ++i) f.streams[i]->length_at = long(length_offsets[i]);
  f.headers_written = true;
  return std::fwrite(b.data(), 1, b.size(), f.out) == b.size();
}

// The index, then every size and count that was unknown while writing.
bool complete(AviFile& f) {
  if (!f.headers_written && !write_headers(f)) return false;
  if (std::fseek(f.out, 0, SEEK_END) != 0) return false;
  const long movi_end = std::ftell(f.out);
  std::vector<uint8_t> b;
  put32(b, fourcc('i', 'd', 'x', '1'));
  put32(b, uint32_t(f.index.size() * 16));
  for (const auto& e : f.index) {
    put32(b, e.id);
    put32(b, e.flags);
    put32(b, e.offset);
    put32(b, e.size);
  }
  if (std::fwrite(b.data(), 1, b.size(), f.out) != b.size()) return false;
  const long end = std::ftell(f.out);
  bool ok = write_at(f.out, 4, uint32_t(end - 8)) && write_at(f.out, f.movi_at - 4, uint32_t(movi_end - f.movi_at));
  if (!f.streams.empty()) {
    const AviStream& first = *f.streams[0];
    ok = ok && write_at(f.out, 12 + 8 + 4 + 8 + 16, first.frames);  // avih total frames
    ok = ok && write_at(f.out, 12 + 8 + 4 + 8 + 28, first.largest_frame > first.info.suggested_buffer_size
                                                            ? first.largest_frame
                                                            : first.info.suggested_buffer_size);
  }
  for (const auto& s : f.streams) ok = ok && write_at(f.out, s->length_at, s->frames);
  return ok;
}

AviStream* file_stream(AviStream* s) { return s && s->target ? s->target : s; }

}  // namespace

AviFile* avi_open(const char* path) {
  if (!path) return nullptr;
  std::FILE* out = std::fopen(path, "wb");
  if (!out) return nullptr;
  auto* f = new AviFile;
  f->out = out;
  return f;
}

AviStream* avi_create_stream(AviFile* file, const AviStreamInfo& info) {
  // Streams are described in the headers, which precede the first frame.
  if (!file || file->headers_written) return nullptr;
  auto s = std::make_unique<AviStream>();
  s->file = file;
  s->info = info;
  file->streams.push_back(std::move(s));
  return file->streams.back().get();
}

AviStream* avi_make_compressed_stream(AviStream* source, uint32_t handler, int32_t quality) {
  if (!source || source->target || source->file->headers_written) return nullptr;
  const bool stored = handler == 0 || handler == kHandlerUncompressed;
  std::unique_ptr<MovieEncoder> encoder;
  if (!stored) {
    handler = movie_encoder_handler(handler);
    if (handler) encoder = make_movie_encoder(handler, quality);
    if (!encoder) return nullptr;  // no such compressor here
  }
  source->info.handler = stored ? kHandlerUncompressed : handler;
  auto s = std::make_unique<AviStream>();
  s->encoder = std::move(encoder);
  s->file = source->file;
  s->target = source;
  s->info = source->info;
  source->file->compressed.push_back(std::move(s));
  return source->file->compressed.back().get();
}

bool avi_set_format(AviStream* stream, int32_t position, const void* format, uint32_t size) {
  AviStream* s = file_stream(stream);
  if (!s || position != 0 || s->file->headers_written || (!format && size)) return false;
  const auto* p = static_cast<const uint8_t*>(format);
  if (!stream->encoder) {
    s->format.assign(p, p + size);
    return true;
  }
  // The bitmaps' format goes to the encoder; the file stores the compressed one.
  stream->format.assign(p, p + size);
  if (size && stream->encoder->open(p, size, s->info.scale, s->info.rate, s->format)) return true;
  // The codec would not take these frames: the file stream stays one of stored frames.
  stream->encoder.reset();
  s->info.handler = kHandlerUncompressed;
  s->format.clear();
  return false;
}

namespace {

// Appends one chunk to the file stream `s` and indexes it.
bool write_chunk(AviStream* s, const void* data, uint32_t size, uint32_t flags) {
  AviFile& f = *s->file;
  if (!f.headers_written && !write_headers(f)) return f.failed = true, false;
  const long at = std::ftell(f.out);
  const uint64_t padded = uint64_t(size) + (size & 1);
  const uint64_t index_bytes = (f.index.size() + 1) * 16 + 8;
  if (at < 0 || uint64_t(at) + 8 + padded + index_bytes > kMaxFileSize) return false;
  uint32_t n = 0;
  while (f.streams[n].get() != s) ++n;
  std::vector<uint8_t> head;
  put32(head, chunk_id(n, *s));
  put32(head, size);
  const uint8_t pad = 0;
  if (std::fwrite(head.data(), 1, 8, f.out) != 8 || std::fwrite(data, 1, size, f.out) != size ||
      ((size & 1) && std::fwrite(&pad, 1, 1, f.out) != 1)) {
    f.failed = true;
    return false;
  }
  f.index.push_back({chunk_id(n, *s), flags & kAviKeyFrame, uint32_t(at - f.movi_at), size});
  ++s->frames;
  if (size > s->largest_frame) s->largest_frame = size;
  return true;
}

bool write_encoded(AviStream* s, const std::vector<EncodedFrame>& packets) {
  for (const EncodedFrame& p : packets) {
    if (p.data.size() > kMaxFileSize) return s->file->failed = true, false;
    if (!write_chunk(s, p.data.data(), uint32_t(p.data.size()), p.key ? kAviKeyFrame : 0)) return false;
  }
  return true;
}

}  // namespace

bool avi_write(AviStream* stream, int32_t position, const void* data, uint32_t size, uint32_t flags) {
  AviStream* s = file_stream(stream);
  if (!s || s->format.empty() || (!data && size)) return false;
  if (s->file->failed) return false;
  // Frames are appended in order; the index has no room for gaps.
  AviStream* counter = stream->encoder ? stream : s;
  if (position < 0 || uint32_t(position) != counter->frames) return false;
  if (!stream->encoder) return write_chunk(s, data, size, flags);
  std::vector<EncodedFrame> packets;
  if (!stream->encoder->encode(static_cast<const uint8_t*>(data), size, packets)) return s->file->failed = true, false;
  ++stream->frames;
  return write_encoded(s, packets);
}

// Streams live as long as their file; releasing one only ends the caller's use.
void avi_stream_release(AviStream*) {}

bool avi_compression_dialog(AviStream*, void*, uint32_t&, int32_t&) { return true; }

bool avi_file_release(AviFile* file) {
  if (!file) return false;
  // Frames an encoder still holds go in before the index.
  for (const auto& c : file->compressed) {
    std::vector<EncodedFrame> packets;
    if (c->encoder && !file->failed && !(c->encoder->finish(packets) && write_encoded(c->target, packets)))
      file->failed = true;
  }
  const bool ok = !file->failed && complete(*file);
  const bool closed = std::fclose(file->out) == 0;
  delete file;
  return ok && closed;
}

}  // namespace cvl::platform
