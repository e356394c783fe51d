// Files as people have them: photos tagged with a turn, TIFF in its rarer shapes, animated
// WebP, short palettes and GIFs other programs write. Each file is made by an independent
// tool and what we decode is compared with what PIL (or libtiff's own tools, ImageMagick or
// LittleCMS, where PIL cannot) makes of it, with the orientation applied.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "codecs/codec.h"
#include "codecs/decoders.h"
#include "codecs/independent_decoder.h"
#include "codecs/orientation.h"

namespace cvl::imaging {
namespace {

using test::ScratchDir;
using test::ToolCase;

// Python helpers the cases below share (after the common prelude).
const char* kHelpers = R"(
from PIL import PngImagePlugin, ImageCms
def exif(o):
    e = Image.Exif(); e[0x0112] = o; return e.tobytes()
def xmp(o):
    return ('<x:xmpmeta xmlns:x="adobe:ns:meta/"><rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">'
            '<rdf:Description xmlns:tiff="http://ns.adobe.com/tiff/1.0/" tiff:Orientation="%d"/></rdf:RDF></x:xmpmeta>' % o)
def upright(src):
    ImageOps.exif_transpose(Image.open(src)).save('ref.png')
def turned(im, o):
    # The turns exif_transpose makes, for files whose orientation PIL does not look for.
    t = Image.Transpose
    way = {2: t.FLIP_LEFT_RIGHT, 3: t.ROTATE_180, 4: t.FLIP_TOP_BOTTOM, 5: t.TRANSPOSE, 6: t.ROTATE_270,
           7: t.TRANSVERSE, 8: t.ROTATE_90}.get(o)
    return im if way is None else im.transpose(way)
def with_xmp_segment(path, o):
    d = open(path, 'rb').read()
    body = b'http://ns.adobe.com/xap/1.0/\0' + xmp(o).encode()
    open(path, 'wb').write(d[:2] + b'\xff\xe1' + struct.pack('>H', len(body) + 2) + body + d[2:])
def lzw_literals(indices, min_size):
    # Every pixel as its own code, with a clear code before the code width would grow.
    clear, width, out, acc, nbits = 1 << min_size, min_size + 1, bytearray(), 0, 0
    codes, run = [clear], (1 << min_size) - 2
    for i in range(0, len(indices), run):
        codes += indices[i:i + run] + [clear]
    codes.append(clear + 1)
    for c in codes:
        acc |= c << nbits; nbits += width
        while nbits >= 8: out.append(acc & 255); acc >>= 8; nbits -= 8
    if nbits: out.append(acc & 255)
    return bytes([min_size]) + b''.join(bytes([len(out[i:i + 255])]) + out[i:i + 255] for i in range(0, len(out), 255)) + b'\0'
def gif(path, im, min_size, palette=None):
    flags = 0x80 | 7 if palette else 0
    head = b'GIF89a' + struct.pack('<HHBBB', im.width, im.height, flags, 0, 0)
    if palette: head += bytes(palette)
    desc = b',' + struct.pack('<HHHHB', 0, 0, im.width, im.height, 0)
    open(path, 'wb').write(head + desc + lzw_literals(list(im.tobytes()), min_size) + b';')
def os2_bmp(path, im, entries):
    # An OS/2 1.x bitmap: a 12-byte header and only `entries` colours before the pixels.
    pal = im.getpalette()[:entries * 3]
    stride = (im.width + 3) // 4 * 4
    rows = b''.join(im.tobytes()[y * im.width:(y + 1) * im.width].ljust(stride, b'\0') for y in reversed(range(im.height)))
    table = b''.join(bytes([pal[i + 2], pal[i + 1], pal[i]]) for i in range(0, len(pal), 3))
    off = 14 + 12 + len(table)
    open(path, 'wb').write(b'BM' + struct.pack('<IHHI', off + len(rows), 0, 0, off) +
                           struct.pack('<IHHHH', 12, im.width, im.height, 1, 8) + table + rows)
def few_colours(n):
    return pattern('RGB', 23, 17).quantize(n)
)";

// Keeps the text of generated cases alive for the ToolCase pointers.
class Cases {
 public:
  void add(const std::string& file, FileType type, const std::string& make, int tolerance,
           const char* reference = nullptr) {
    const std::string& f = text_.emplace_back(file);
    const std::string& m = text_.emplace_back(std::string(kHelpers) + make);
    cases_.push_back({f.c_str(), type, m.c_str(), tolerance, reference});
  }
  // The eight turns of one kind of file; `make` writes F with the orientation `o`.
  void add_turns(const std::string& stem, FileType type, const std::string& make, int tolerance,
                 const char* reference = "ref.png") {
    for (int o = 1; o <= 8; ++o)
      add(stem + std::to_string(o) + stem.substr(stem.rfind('.')), type, "o = " + std::to_string(o) + "\n" + make,
          tolerance, reference);
  }
  const std::vector<ToolCase>& all() const { return cases_; }

 private:
  std::deque<std::string> text_;
  std::vector<ToolCase> cases_;
};

void expect_like_tool(const Cases& cases) {
  if (!test::have_pil() || !test::have_magick()) GTEST_SKIP() << "needs Python PIL and ImageMagick";
  test::expect_decoded_like_tool(cases.all());
}

TEST(PhotoFiles, JpegPhotosTurnedByTheirExifOrXmpOrientation) {
  Cases c;
  c.add_turns("exif.jpg", FileType::Jpeg, "pattern('RGB', 23, 17).save(F, quality=95, exif=exif(o)); upright(F)", 2);
  c.add_turns("xmp.jpg", FileType::Jpeg,
              "pattern('RGB', 23, 17).save(F, quality=95); with_xmp_segment(F, o); "
              "im = Image.open(F); im.load(); turned(im, o).save('ref.png')",
              2);
  expect_like_tool(c);
}

TEST(PhotoFiles, WebpPhotosTurnedByTheirExifOrientation) {
  Cases c;
  c.add_turns("exif.webp", FileType::Webp, "pattern('RGBA', 23, 17).save(F, lossless=True, exif=exif(o)); upright(F)", 0);
  expect_like_tool(c);
}

TEST(PhotoFiles, PngTurnedByAnExifChunkOrAnXmpOrientation) {
  Cases c;
  c.add_turns("exif.png", FileType::Png, "pattern('RGBA', 23, 17).save(F, exif=exif(o)); upright(F)", 0);
  c.add_turns("xmp.png", FileType::Png,
              "i = PngImagePlugin.PngInfo(); i.add_itxt('XML:com.adobe.xmp', xmp(o)); "
              "pattern('RGB', 23, 17).save(F, pnginfo=i); upright(F)",
              0);
  expect_like_tool(c);
}

// PIL turns TIFF upright itself while loading.
TEST(PhotoFiles, TiffTurnedByItsOrientationTagFaxIncluded) {
  Cases c;
  c.add_turns("fax4.tif", FileType::Tiff,
              "pattern('1', 23, 17).save(F, compression='group4'); subprocess.run(['tiffset', '-s', '274', str(o), F], check=True)",
              0, nullptr);
  c.add_turns("fax3.tif", FileType::Tiff,
              "pattern('1', 23, 17).save(F, compression='group3'); subprocess.run(['tiffset', '-s', '274', str(o), F], check=True)",
              0, nullptr);
  c.add_turns("rgb.tif", FileType::Tiff,
              "pattern('RGB', 23, 17).save(F); subprocess.run(['tiffset', '-s', '274', str(o), F], check=True)", 0, nullptr);
  expect_like_tool(c);
}

TEST(PhotoFiles, BigTiff) {
  Cases c;
  c.add("big.tif", FileType::Tiff, "pattern('RGBA', 23, 17).save('s.tif'); subprocess.run(['tiffcp', '-8', '-c', 'lzw', 's.tif', F], check=True)", 0, "s.tif");
  c.add("big_tiled.tif", FileType::Tiff, "pattern('RGB', 23, 17).save('s.tif'); subprocess.run(['tiffcp', '-8', '-t', '-w', '16', '-l', '16', 's.tif', F], check=True)", 0, "s.tif");
  expect_like_tool(c);
}

// Old-style JPEG with two empty directory entries: libtiff reports an error for them,
// skips them and decodes the picture; its own tiff2rgba is the reference.
TEST(PhotoFiles, OldJpegTiffThatLibtiffReadsDespiteAnError) {
  Cases c;
  c.add("old_jpeg.tif", FileType::Tiff,
        std::string("import shutil; shutil.copy('") + CORVEL_TEST_DATA +
            "/old_jpeg_empty_entries.tif', F); subprocess.run(['tiff2rgba', F, 'ref.tif'], check=True)",
        0, "ref.tif");
  expect_like_tool(c);
}

TEST(PhotoFiles, AnimatedWebpGivesItsFirstFrame) {
  if (std::system("img2webp -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "needs img2webp";
  Cases c;
  c.add("anim.webp", FileType::Webp,
        "pattern('RGBA', 23, 17).save('f0.png'); pattern('RGB', 23, 17).rotate(180).save('f1.png'); "
        "subprocess.run(['img2webp', '-lossless', '-d', '100', 'f0.png', 'f1.png', '-o', F], check=True)",
        0, "f0.png");
  c.add("anim_exif.webp", FileType::Webp,
        "frames = [pattern('RGB', 23, 17), pattern('RGB', 23, 17).rotate(180)]; "
        "frames[0].save(F, save_all=True, append_images=frames[1:], lossless=True, exif=exif(8)); "
        "frames[0].transpose(Image.Transpose.ROTATE_90).save('ref.png')",
        0, "ref.png");
  expect_like_tool(c);
}

// LittleCMS converts an sRGB picture to Lab (D50) and PIL stores it; reading it back gives
// the picture within what 8-bit Lab keeps (whole steps of a and b, which near black in
// saturated colours are several sRGB levels), and neutral stays neutral.
TEST(PhotoFiles, CieLabTiff) {
  Cases c;
  const std::string to_lab =
      "lab = ImageCms.profileToProfile(src, ImageCms.createProfile('sRGB'), ImageCms.createProfile('LAB'), outputMode='LAB'); "
      "lab.save(F); src.save('ref.png')";
  c.add("lab.tif", FileType::Tiff, "src = pattern('RGB', 23, 17); " + to_lab, 12, "ref.png");
  c.add("lab_grey.tif", FileType::Tiff, "src = pattern('L', 23, 17).convert('RGB'); " + to_lab, 1, "ref.png");
  expect_like_tool(c);

  if (!test::have_pil()) GTEST_SKIP() << "needs Python with PIL";
  ScratchDir dir;
  ASSERT_TRUE(dir.python(std::string(kHelpers) + "Image.new('LAB', (64, 1)).save('w.tif')\n"
                         "im = Image.new('LAB', (256, 1)); im.putdata([(l, 128, 128) for l in range(256)]); im.save('ramp.tif')"));
  Image ramp;
  ASSERT_TRUE(decode_file(dir.path("ramp.tif").c_str(), ramp));
  ASSERT_EQ(ramp.width, 256);
  for (int x = 0; x < 256; ++x) {
    const uint8_t* p = &ramp.pixels[size_t(x) * 4];
    EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]) << "L " << x << ": " << int(p[0]) << " " << int(p[1]) << " " << int(p[2]);
  }
  EXPECT_EQ(ramp.pixels[255 * 4], 255);
  EXPECT_EQ(ramp.pixels[0], 0);
}

TEST(PhotoFiles, Os2BitmapWithAShortPalette) {
  Cases c;
  c.add("os2_16.bmp", FileType::Bmp, "im = few_colours(16); os2_bmp(F, im, 16); im.save('ref.png')", 0, "ref.png");
  c.add("os2_5.bmp", FileType::Bmp, "im = few_colours(5); os2_bmp(F, im, 5); im.save('ref.png')", 0, "ref.png");
  expect_like_tool(c);
}

TEST(PhotoFiles, GifWithoutAnyColourTableReadsAsGrey) {
  Cases c;
  c.add("no_table.gif", FileType::Gif, "gif(F, pattern('L', 23, 17), 8)", 0);
  expect_like_tool(c);
}

TEST(PhotoFiles, GifWithWideLzwCodes) {
  Cases c;
  for (int size : {9, 10, 11})
    c.add("lzw" + std::to_string(size) + ".gif", FileType::Gif,
          "im = few_colours(256); gif(F, im, " + std::to_string(size) + ", (im.getpalette() + [0] * 768)[:768])", 0);
  expect_like_tool(c);
}

// PIL does not read 12-bit grey: the reference is the 8-bit source ImageMagick scaled up.
TEST(PhotoFiles, TwelveBitGreyTiff) {
  Cases c;
  c.add("grey12.tif", FileType::Tiff,
        "pattern('L', 23, 17).save('s.png'); subprocess.run(['convert', 's.png', '-depth', '12', F], check=True)", 0, "s.png");
  c.add("grey12_strips.tif", FileType::Tiff,
        "pattern('L', 23, 17).save('s.png'); subprocess.run(['convert', 's.png', '-depth', '12', '-define', "
        "'tiff:rows-per-strip=3', '-compress', 'lzw', F], check=True)",
        0, "s.png");
  expect_like_tool(c);
}

// Nor 16-bit CMYK: ImageMagick reads it back to sRGB.
TEST(PhotoFiles, SixteenBitCmykTiff) {
  Cases c;
  c.add("cmyk16.tif", FileType::Tiff,
        "pattern('RGB', 23, 17).save('s.png'); subprocess.run(['convert', 's.png', '-colorspace', 'CMYK', '-depth', '16', F], check=True); "
        "subprocess.run(['convert', F, '-colorspace', 'sRGB', '-depth', '8', 'ref.png'], check=True)",
        2, "ref.png");
  expect_like_tool(c);
}

// The probe reports the picture as decoding hands it back; wild tag values count as none.
TEST(PhotoFiles, ProbesReportTheTurnAndTheUprightSize) {
  if (!test::have_pil()) GTEST_SKIP() << "needs Python PIL";
  ScratchDir dir;
  ASSERT_TRUE(dir.python(std::string(kHelpers) +
                         "pattern('RGB', 23, 17).save('six.jpg', exif=exif(6), dpi=(300, 150))\n"
                         "pattern('RGB', 23, 17).save('wild.jpg', exif=exif(9))\n"
                         "e = Image.Exif(); e[0x0112] = 0xFFFF; pattern('RGB', 23, 17).save('wilder.png', exif=e.tobytes())\n"
                         "pattern('RGB', 23, 17).save('eight.webp', exif=exif(8))\n"));
  struct Case {
    const char* file;
    uint16_t orientation;
    int32_t width, height;
  } cases[] = {{"six.jpg", 6, 17, 23}, {"wild.jpg", 1, 23, 17}, {"wilder.png", 1, 23, 17}, {"eight.webp", 8, 17, 23}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ImageInfo info;
    ASSERT_TRUE(probe_file(dir.path(c.file).c_str(), info));
    EXPECT_EQ(info.orientation, c.orientation);
    EXPECT_EQ(info.width, c.width);
    EXPECT_EQ(info.height, c.height);
    Image im;
    ASSERT_TRUE(decode_file(dir.path(c.file).c_str(), im));
    EXPECT_EQ(im.width, c.width);
    EXPECT_EQ(im.height, c.height);
  }
  ImageInfo six;
  ASSERT_TRUE(probe_file(dir.path("six.jpg").c_str(), six));
  EXPECT_EQ(six.resolution.x, 150);  // the upright picture's across is the stored down
  EXPECT_EQ(six.resolution.y, 300);
}

TEST(OrientationTags, ParsersRefuseWhatIsNotThere) {
  const uint8_t exif_le[] = {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0};
  EXPECT_EQ(exif_orientation(exif_le, sizeof exif_le), 6);
  for (size_t n = 0; n < sizeof exif_le; ++n) EXPECT_EQ(exif_orientation(exif_le, n), 0) << n;
  const uint8_t loops[] = {'M', 'M', 0, 42, 0xFF, 0xFF, 0xFF, 0xF0};
  EXPECT_EQ(exif_orientation(loops, sizeof loops), 0);
  const std::string forms[] = {"<tiff:Orientation>3</tiff:Orientation>", "tiff:Orientation = '7'",
                               "tiff:OrientationX=\"5\" tiff:Orientation=\"2\"", "tiff:Orientation=\"12\"", "tiff:Orientation"};
  const uint16_t expected[] = {3, 7, 2, 0, 0};
  for (size_t i = 0; i < std::size(forms); ++i)
    EXPECT_EQ(xmp_orientation(reinterpret_cast<const uint8_t*>(forms[i].data()), forms[i].size()), expected[i]) << forms[i];
}

}  // namespace
}  // namespace cvl::imaging
