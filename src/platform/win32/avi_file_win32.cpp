// Movies through the system AVI file library.
#include <windows.h>
#include <vfw.h>

#include <memory>
#include <vector>

#include "platform/avi_file.h"

namespace cvl::platform {

struct AviStream {
  PAVISTREAM stream = nullptr;
};

struct AviFile {
  PAVIFILE file = nullptr;
  std::vector<std::unique_ptr<AviStream>> streams;
};

namespace {

AviStream* keep(AviFile* file, PAVISTREAM stream) {
  file->streams.push_back(std::make_unique<AviStream>(AviStream{stream}));
  return file->streams.back().get();
}

// Streams are released by the engine before the file; the handles stay with
// the file record so that a compressed stream can find its file.
AviFile* owner_of(AviStream* stream);
std::vector<AviFile*>& open_files() {
  static std::vector<AviFile*> files;
  return files;
}
AviFile* owner_of(AviStream* stream) {
  for (AviFile* f : open_files())
    for (auto& s : f->streams)
      if (s.get() == stream) return f;
  return nullptr;
}

}  // namespace

AviFile* avi_open(const char* path) {
  AVIFileInit();
  PAVIFILE file = nullptr;
  if (!path || AVIFileOpenA(&file, path, OF_WRITE | OF_CREATE, nullptr) != 0) {
    AVIFileExit();
    return nullptr;
  }
  auto* f = new AviFile{file, {}};
  open_files().push_back(f);
  return f;
}

AviStream* avi_create_stream(AviFile* file, const AviStreamInfo& info) {
  if (!file) return nullptr;
  AVISTREAMINFOA header{};
  header.fccType = info.type;
  header.fccHandler = info.handler;
  header.dwScale = info.scale;
  header.dwRate = info.rate;
  header.dwSuggestedBufferSize = info.suggested_buffer_size;
  SetRect(&header.rcFrame, info.frame_left, info.frame_top, info.frame_right, info.frame_bottom);
  PAVISTREAM stream = nullptr;
  if (AVIFileCreateStreamA(file->file, &stream, &header) != 0) return nullptr;
  return keep(file, stream);
}

AviStream* avi_make_compressed_stream(AviStream* source, uint32_t handler, int32_t quality) {
  AviFile* file = source ? owner_of(source) : nullptr;
  if (!file || !source->stream) return nullptr;
  if (handler == 0) handler = kHandlerUncompressed;
  AVICOMPRESSOPTIONS options{};
  options.fccType = streamtypeVIDEO;
  options.fccHandler = handler;
  options.dwQuality = static_cast<DWORD>(quality);
  PAVISTREAM compressed = nullptr;
  if (AVIMakeCompressedStream(&compressed, source->stream, &options, nullptr) == 0) return keep(file, compressed);
  // Some versions of the library find no compressor for "DIB " itself; frames
  // stored as they are need none, so they go to the stream directly.
  if (handler != kHandlerUncompressed) return nullptr;
  AVIStreamAddRef(source->stream);
  return keep(file, source->stream);
}

bool avi_compression_dialog(AviStream* stream, void* owner, uint32_t& handler, int32_t& quality) {
  if (!stream || !stream->stream) return false;
  AVICOMPRESSOPTIONS options{};
  LPAVICOMPRESSOPTIONS list[1] = {&options};
  PAVISTREAM streams[1] = {stream->stream};
  const bool chosen = AVISaveOptions(static_cast<HWND>(owner), 0, 1, streams, list) != FALSE;
  if (chosen) {
    handler = options.fccHandler;
    quality = static_cast<int32_t>(options.dwQuality);
  }
  AVISaveOptionsFree(1, list);
  return chosen;
}

bool avi_set_format(AviStream* stream, int32_t position, const void* format, uint32_t size) {
  if (!stream || !stream->stream) return false;
  return AVIStreamSetFormat(stream->stream, position, const_cast<void*>(format), static_cast<LONG>(size)) == 0;
}

bool avi_write(AviStream* stream, int32_t position, const void* data, uint32_t size, uint32_t flags) {
  if (!stream || !stream->stream) return false;
  return AVIStreamWrite(stream->stream, position, 1, const_cast<void*>(data), static_cast<LONG>(size), flags, nullptr,
                        nullptr) == 0;
}

void avi_stream_release(AviStream* stream) {
  if (!stream || !stream->stream) return;
  AVIStreamRelease(stream->stream);
  stream->stream = nullptr;
}

bool avi_file_release(AviFile* file) {
  if (!file) return false;
  for (auto& s : file->streams) avi_stream_release(s.get());
  AVIFileRelease(file->file);
  AVIFileExit();
  auto& files = open_files();
  for (size_t i = 0; i < files.size(); ++i)
    if (files[i] == file) files.erase(files.begin() + long(i));
  delete file;
  return true;
}

}  // namespace cvl::platform
