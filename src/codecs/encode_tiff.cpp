// TIFF writing through libtiff, one row at a time: 8-bit RGB or RGBA (unassociated
// alpha), deflate with the horizontal predictor.
#include <tiffio.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "codecs/file_sink.h"
#include "codecs/line_writers.h"

namespace cvl::imaging {
namespace {

int quiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// The system's reason a file cannot be made at `path`, for when libtiff's own file layer
// leaves none (the Windows one works through handles, not errno); 0 when it can be made.
// Opening to append neither truncates a file that is there nor keeps one that was not.
int reason_for_create(const char* path) {
  FILE* probe = std::fopen(path, "rb");
  const bool existed = probe != nullptr;
  if (probe) std::fclose(probe);
  errno = 0;
  FILE* f = std::fopen(path, "ab");
  if (!f) return errno;
  std::fclose(f);
  if (!existed) std::remove(path);
  return 0;
}

// Null when the file cannot be made, with the system's reason in `os_error`.
TIFF* open_quietly(const char* path, int& os_error) {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (!options) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(options, quiet, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options, quiet, nullptr);
  errno = 0;
  TIFF* t = TIFFOpenExt(path, "w", options);
  if (!t) os_error = errno ? errno : reason_for_create(path);
  TIFFOpenOptionsFree(options);
  return t;
}

class TiffLines final : public CountingLineWriter {
 public:
  TiffLines(const char* path, int32_t w, int32_t h, int32_t ch, const Resolution& res)
      : CountingLineWriter(w, h, ch), tiff_(open_quietly(path, os_error_)), row_(size_t(w) * size_t(ch)) {
    if (!tiff_) return;
    bool ok = TIFFSetField(tiff_, TIFFTAG_IMAGEWIDTH, uint32_t(w)) && TIFFSetField(tiff_, TIFFTAG_IMAGELENGTH, uint32_t(h)) &&
              TIFFSetField(tiff_, TIFFTAG_BITSPERSAMPLE, 8) && TIFFSetField(tiff_, TIFFTAG_SAMPLESPERPIXEL, ch) &&
              TIFFSetField(tiff_, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) &&
              TIFFSetField(tiff_, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(tiff_, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE) &&
              TIFFSetField(tiff_, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL) &&
              TIFFSetField(tiff_, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff_, 0));
    if (ch == 4) {
      const uint16_t extra = EXTRASAMPLE_UNASSALPHA;
      ok = ok && TIFFSetField(tiff_, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    ok = ok && set_resolution(res);
    ready_ = ok;
  }
  ~TiffLines() override {
    if (tiff_) TIFFClose(tiff_);
  }
  bool ready() const { return ready_; }
  int os_error() const override { return os_error_; }

 private:
  // TIFF counts per inch or per centimetre; per-metre values become per centimetre.
  bool set_resolution(const Resolution& res) {
    if (res.unit == ResolutionUnit::None) return true;
    const ResolutionUnit unit = res.unit == ResolutionUnit::PerInch ? ResolutionUnit::PerInch : ResolutionUnit::PerCentimetre;
    const double x = resolution_in(res, unit), y = resolution_in(res, unit, true);
    if (x <= 0 || y <= 0) return true;
    return TIFFSetField(tiff_, TIFFTAG_XRESOLUTION, float(x)) && TIFFSetField(tiff_, TIFFTAG_YRESOLUTION, float(y)) &&
           TIFFSetField(tiff_, TIFFTAG_RESOLUTIONUNIT, unit == ResolutionUnit::PerInch ? RESUNIT_INCH : RESUNIT_CENTIMETER);
  }
  bool put_row(const uint8_t* row) override {
    // libtiff may encode in place (the predictor does), so it gets a copy.
    std::memcpy(row_.data(), row, row_.size());
    return TIFFWriteScanline(tiff_, row_.data(), uint32_t(next_row_++), 0) == 1;
  }
  bool close_file(bool) override {
    const bool flushed = TIFFFlush(tiff_) == 1;
    TIFFClose(tiff_);
    tiff_ = nullptr;
    return flushed;
  }

  int os_error_ = 0;  // before tiff_: the open sets it
  TIFF* tiff_;
  std::vector<uint8_t> row_;
  int32_t next_row_ = 0;
  bool ready_ = false;
};

}  // namespace

std::unique_ptr<LineWriter> open_tiff_lines(const char* path, int32_t width, int32_t height, int32_t channels,
                                            const Resolution& res, int* os_error) {
  return start_writer<TiffLines>(os_error, path, width, height, channels, res);
}

}  // namespace cvl::imaging
