#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "codecs/codec.h"
#include "codecs/decoders.h"
#include "codecs/independent_decoder.h"

namespace cvl::imaging {
namespace {

using test::ScratchDir;

using test::ToolCase;

// Files written by the independent tool in the ways real programs write them.
const ToolCase kToolCases[] = {
    {"rgba.png", FileType::Png, "pattern('RGBA', 23, 17).save(F)", 0},
    {"palette.png", FileType::Png, "pattern('P', 23, 17).save(F, transparency=3)", 0},
    {"grey.png", FileType::Png, "pattern('L', 23, 17).save(F)", 0},
    {"la.png", FileType::Png, "pattern('LA', 23, 17).save(F)", 0},
    {"deep.png", FileType::Png, "pattern('RGBA', 23, 17).save('s.png'); subprocess.run(['convert', 's.png', '-depth', '16', '-interlace', 'PNG', F], check=True)", 0},
    {"rgb.jpg", FileType::Jpeg, "pattern('RGB', 23, 17).save(F, quality=90)", 2},
    {"grey.jpg", FileType::Jpeg, "pattern('L', 23, 17).save(F)", 2},
    {"progressive.jpg", FileType::Jpeg, "pattern('RGB', 23, 17).save(F, progressive=True, subsampling=0)", 2},
    {"cmyk.jpg", FileType::Jpeg, "pattern('CMYK', 23, 17).save(F)", 3},
    {"rgba.tif", FileType::Tiff, "pattern('RGBA', 23, 17).save(F, compression='tiff_adobe_deflate')", 0},
    {"rgb.tif", FileType::Tiff, "pattern('RGB', 23, 17).save(F, compression='tiff_lzw')", 0},
    {"grey.tif", FileType::Tiff, "pattern('L', 23, 17).save(F, compression='packbits')", 0},
    {"palette.tif", FileType::Tiff, "pattern('P', 23, 17).save(F)", 0},
    {"mono.tif", FileType::Tiff, "pattern('1', 23, 17).save(F, compression='group4')", 0},
    // Tiles, separate planes, 16-bit samples and orientations, rewritten by libtiff's own tools.
    {"tiled.tif", FileType::Tiff, "pattern('RGBA', 23, 17).save('s.tif'); subprocess.run(['tiffcp', '-t', '-w', '16', '-l', '16', '-c', 'lzw', 's.tif', F], check=True)", 0},
    {"planes.tif", FileType::Tiff, "pattern('RGBA', 23, 17).save('s.tif'); subprocess.run(['tiffcp', '-p', 'separate', '-r', '4', 's.tif', F], check=True)", 0},
    {"tiled_planes.tif", FileType::Tiff, "pattern('RGB', 23, 17).save('s.tif'); subprocess.run(['tiffcp', '-t', '-w', '16', '-l', '16', '-p', 'separate', 's.tif', F], check=True)", 0},
    {"grey_alpha_tiled.tif", FileType::Tiff, "pattern('LA', 23, 17).save('s.tif'); subprocess.run(['tiffcp', '-t', '-w', '16', '-l', '16', 's.tif', F], check=True)", 0},
    {"deep_tiled.tif", FileType::Tiff, "pattern('RGBA', 23, 17).save('s.png'); subprocess.run(['convert', 's.png', '-depth', '16', 's.tif'], check=True); subprocess.run(['tiffcp', '-t', '-w', '16', '-l', '16', '-c', 'zip', 's.tif', F], check=True)", 0},
    {"deep_planes.tif", FileType::Tiff, "pattern('RGBA', 23, 17).save('s.png'); subprocess.run(['convert', 's.png', '-depth', '16', '-define', 'tiff:tile-geometry=16x16', '-interlace', 'Plane', F], check=True)", 0},
    // PIL clips 16-bit grey when converting it; its high bytes are the picture.
    {"deep_grey.tif", FileType::Tiff, "pattern('RGB', 23, 17).save('s.png'); subprocess.run(['convert', 's.png', '-colorspace', 'Gray', '-depth', '16', '-define', 'tiff:rows-per-strip=5', F], check=True); "
     "g = Image.open(F); g.load(); Image.frombytes('L', g.size, g.tobytes()[1::2]).save('ref.png')", 0, "ref.png"},
    {"sideways.tif", FileType::Tiff, "pattern('RGBA', 23, 17).save('s.tif'); subprocess.run(['tiffcp', '-t', '-w', '16', '-l', '16', 's.tif', F], check=True); subprocess.run(['tiffset', '-s', '274', '6', F], check=True)", 0},
    {"mirrored.tif", FileType::Tiff, "pattern('RGB', 23, 17).save(F); subprocess.run(['tiffset', '-s', '274', '5', F], check=True)", 0},
    {"upside_down_palette.tif", FileType::Tiff, "pattern('P', 23, 17).save(F); subprocess.run(['tiffset', '-s', '274', '3', F], check=True)", 0},
    {"plain.gif", FileType::Gif, "pattern('P', 23, 17).save(F, transparency=5)", 0},
    {"interlaced.gif", FileType::Gif, "pattern('P', 23, 17).save(F, interlace=True)", 0},
    {"rgb.bmp", FileType::Bmp, "pattern('RGB', 23, 17).save(F)", 0},
    {"palette.bmp", FileType::Bmp, "pattern('P', 23, 17).save(F)", 0},
    {"mono.bmp", FileType::Bmp, "pattern('1', 23, 17).save(F)", 0},
    // PIL stores alpha in the spare byte of a plain 32-bit bitmap but ignores it when
    // reading; we take it as alpha whenever any pixel's is non-zero, so the picture itself is expected.
    {"rgba.bmp", FileType::Bmp, "pattern('RGBA', 23, 17).save(F); pattern('RGBA', 23, 17).save('ref.png')", 0,
     "ref.png"},
    {"rle8.bmp", FileType::Bmp, "pattern('RGB', 23, 17).save('s.png'); subprocess.run(['convert', 's.png', '-type', 'Palette', '-compress', 'RLE', 'BMP3:' + F], check=True)", 0},
    {"r565.bmp", FileType::Bmp, "pattern('RGB', 23, 17).save('s.png'); subprocess.run(['convert', 's.png', '-define', 'bmp:subtype=RGB565', F], check=True)", 0},
    // Top-down: PIL's rows reversed and the height negated.
    {"topdown.bmp", FileType::Bmp,
     "pattern('RGB', 23, 17).save('s.bmp'); d = bytearray(open('s.bmp','rb').read()); off = struct.unpack_from('<I', d, 10)[0]; "
     "stride = (23 * 3 + 3) // 4 * 4; rows = [d[off + i * stride: off + (i + 1) * stride] for i in range(17)]; "
     "d[off:] = b''.join(reversed(rows)); struct.pack_into('<i', d, 22, -17); open(F, 'wb').write(d)", 0},
    {"rgba.tga", FileType::Tga, "pattern('RGBA', 23, 17).save(F)", 0},
    {"rle.tga", FileType::Tga, "pattern('RGBA', 23, 17).save(F, compression='tga_rle')", 0},
    {"palette.tga", FileType::Tga, "pattern('P', 23, 17).save(F)", 0},
    {"grey.tga", FileType::Tga, "pattern('L', 23, 17).save(F, compression='tga_rle')", 0},
    {"palette.pcx", FileType::Pcx, "pattern('P', 23, 17).save(F)", 0},
    {"rgb.pcx", FileType::Pcx, "pattern('RGB', 23, 17).save(F)", 0},
    {"mono.pcx", FileType::Pcx, "pattern('1', 23, 17).save(F)", 0},
    {"rgb.psd", FileType::Psd, "pattern('RGB', 23, 17).save('s.png'); subprocess.run(['convert', 's.png', F], check=True)", 0},
    {"rgba.psd", FileType::Psd, "pattern('RGBA', 23, 17).save('s.png'); subprocess.run(['convert', 's.png', F], check=True)", 0},
    {"grey.psd", FileType::Psd, "pattern('L', 23, 17).save('s.png'); subprocess.run(['convert', 's.png', '-colorspace', 'Gray', F], check=True)", 0},
    {"raw.psd", FileType::Psd, "pattern('RGB', 23, 17).save('s.png'); subprocess.run(['convert', 's.png', '-compress', 'None', F], check=True)", 0},
};

TEST(Decoders, AgreeWithIndependentDecoderOnFilesItWrote) {
  if (!test::have_pil() || !test::have_magick()) GTEST_SKIP() << "needs Python PIL and ImageMagick";
  test::expect_decoded_like_tool(kToolCases);
}

using Decoder = bool (*)(const uint8_t*, size_t, Image&);
struct Format {
  const char* corpus;
  Decoder decode;
};
const Format kFormats[] = {{"png", decode_png}, {"jpeg", decode_jpeg}, {"tiff", decode_tiff},
                           {"gif", decode_gif}, {"bmp", decode_bmp},   {"tga", decode_tga},
                           {"pcx", decode_pcx}, {"psd", decode_psd},   {"webp", decode_webp}};

bool ends_with(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// A whole seed is named "name.ext"; damaged ones carry a second suffix, and what
// the fuzzer found and kept carries no suffix at all.
bool is_whole_seed(const std::string& name) {
  const size_t dot = name.find('.');
  return dot != std::string::npos && dot == name.rfind('.');
}

// The committed seed files: whole ones decode, cut or oversized ones are refused, and
// bit-flipped ones are either refused or decoded to a consistent image.
TEST(Decoders, RefuseCutAndOversizedFilesOfTheSeedCorpus) {
  for (const Format& f : kFormats) {
    const std::filesystem::path dir = std::filesystem::path(CORVEL_FUZZ_CORPUS) / f.corpus;
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      const std::string name = entry.path().filename().string();
      SCOPED_TRACE(name);
      const auto bytes = test::read_bytes(entry.path().string());
      Image im;
      const bool ok = f.decode(bytes.data(), bytes.size(), im);
      ++seen;
      if (ok) {
        EXPECT_EQ(im.pixels.size(), size_t(im.width) * im.height * 4);
      } else {
        EXPECT_TRUE(im.empty());
      }
      if (ends_with(name, ".trunc_half") || ends_with(name, ".trunc_head") || ends_with(name, ".huge")) {
        EXPECT_FALSE(ok);
      } else if (is_whole_seed(name)) {
        EXPECT_TRUE(ok);
      }
    }
    EXPECT_GT(seen, 4) << f.corpus;
  }
}

// Every prefix of every whole seed up to its middle is refused, whichever decoder sees it.
TEST(Decoders, RefuseEveryShortPrefixOfAWholeFile) {
  for (const Format& f : kFormats) {
    const std::filesystem::path dir = std::filesystem::path(CORVEL_FUZZ_CORPUS) / f.corpus;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      const std::string name = entry.path().filename().string();
      if (!is_whole_seed(name)) continue;
      const auto bytes = test::read_bytes(entry.path().string());
      for (size_t n = 0; n <= bytes.size() / 2; ++n) {
        Image im;
        EXPECT_FALSE(f.decode(bytes.data(), n, im)) << name << " cut to " << n;
        EXPECT_FALSE(decode_memory(bytes.data(), n, im)) << name << " cut to " << n;
      }
    }
  }
}

TEST(Probes, ReportSizeAndStoredResolutionOfToolWrittenFiles) {
  if (!test::have_pil() || !test::have_magick()) GTEST_SKIP() << "needs Python PIL and ImageMagick";
  struct Case {
    const char* file;
    const char* make;
    double x, y;
    ResolutionUnit unit;
  } cases[] = {
      {"dpcm.jpg", "pattern('RGB', 23, 17).save('s.png'); subprocess.run(['convert', 's.png', '-units', 'PixelsPerCentimeter', '-density', '118', F], check=True)", 118, 118, ResolutionUnit::PerCentimetre},
      {"dpi.jpg", "pattern('RGB', 23, 17).save(F, dpi=(300, 150))", 300, 150, ResolutionUnit::PerInch},
      {"none.jpg", "pattern('RGB', 23, 17).save(F, dpi=(0, 0))", 0, 0, ResolutionUnit::None},
      {"ppm.png", "pattern('RGB', 23, 17).save(F, dpi=(72.009, 72.009))", 2835, 2835, ResolutionUnit::PerMetre},
      {"none.png", "pattern('RGB', 23, 17).save(F)", 0, 0, ResolutionUnit::None},
      {"dpi.tif", "pattern('RGB', 23, 17).save(F, dpi=(120, 120))", 120, 120, ResolutionUnit::PerInch},
      {"dpcm.tif", "pattern('RGB', 23, 17).save('s.png'); subprocess.run(['convert', 's.png', '-units', 'PixelsPerCentimeter', '-density', '40', F], check=True)", 40, 40, ResolutionUnit::PerCentimetre},
      {"dpi.bmp", "pattern('RGB', 23, 17).save(F, dpi=(300, 300))", 11811, 11811, ResolutionUnit::PerMetre},
      {"dpi.psd", "pattern('RGB', 23, 17).save('s.png'); subprocess.run(['convert', 's.png', '-units', 'PixelsPerInch', '-density', '200', F], check=True)", 200, 200, ResolutionUnit::PerInch},
  };
  ScratchDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(dir.python(std::string("F = '") + c.file + "'\n" + c.make + "\n"));
    ImageInfo info;
    ASSERT_TRUE(probe_file(dir.path(c.file).c_str(), info));
    EXPECT_EQ(info.width, 23);
    EXPECT_EQ(info.height, 17);
    EXPECT_EQ(info.resolution.unit, c.unit);
    EXPECT_NEAR(info.resolution.x, c.x, 0.5);
    EXPECT_NEAR(info.resolution.y, c.y, 0.5);
  }
}

TEST(Decoders, NoInputAndUnknownBytesAreRefused) {
  Image im;
  EXPECT_FALSE(decode_memory(nullptr, 0, im));
  const uint8_t text[] = "plain text, not a picture";
  EXPECT_EQ(guess_file_type(text, sizeof text), FileType::Unknown);
  EXPECT_FALSE(decode_memory(text, sizeof text, im));
  EXPECT_FALSE(decode_file("/nonexistent/file.png", im));
}

}  // namespace
}  // namespace cvl::imaging
