// Movie files: one file with video streams written frame by frame, the shape of
// the system AVI library. A stream is made in the file, then a "compressed"
// stream is made over it; frames and the format go to the compressed stream.
#pragma once

#include <cstdint>

namespace cvl::platform {

struct AviFile;
struct AviStream;

constexpr uint32_t fourcc(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}
constexpr uint32_t kStreamTypeVideo = fourcc('v', 'i', 'd', 's');
constexpr uint32_t kHandlerUncompressed = fourcc('D', 'I', 'B', ' ');
constexpr uint32_t kAviKeyFrame = 0x10;

struct AviStreamInfo {
  uint32_t type = kStreamTypeVideo;
  uint32_t handler = 0;
  uint32_t scale = 0;  // time per sample is scale / rate seconds
  uint32_t rate = 0;
  uint32_t suggested_buffer_size = 0;
  int32_t frame_left = 0, frame_top = 0, frame_right = 0, frame_bottom = 0;
};

// Creates (or truncates) the file for writing; null when it cannot be opened.
AviFile* avi_open(const char* path);
AviStream* avi_create_stream(AviFile* file, const AviStreamInfo& info);
// A stream that encodes into `source` with the compressor `handler` (0 or
// kHandlerUncompressed: frames stored as they are); null without such a compressor.
AviStream* avi_make_compressed_stream(AviStream* source, uint32_t handler, int32_t quality);
// The system's compression dialog for `stream`, owned by the host's window:
// the compressor and quality the person chose, or false when they cancelled.
// Both start at 0 (frames stored uncompressed), which is what stays where the
// system has no such dialog.
bool avi_compression_dialog(AviStream* stream, void* owner, uint32_t& handler, int32_t& quality);
// Sets the stream's format (for video, a BITMAPINFOHEADER and its colour table).
bool avi_set_format(AviStream* stream, int32_t position, const void* format, uint32_t size);
bool avi_write(AviStream* stream, int32_t position, const void* data, uint32_t size, uint32_t flags);
void avi_stream_release(AviStream* stream);
// Completes the file (headers, index) and closes it; false when that failed.
bool avi_file_release(AviFile* file);

}  // namespace cvl::platform
