#include "draw/text_render.h"

#ifdef _WIN32
#include "platform/font_data.h"
#else
#include <fontconfig/fontconfig.h>
#endif
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <vector>
#include <cmath>

namespace cvl::imaging {
namespace {

constexpr int32_t kDefaultCellHeight = 16;
constexpr double kMaxPixelSize = 2048.0;  // larger requests are drawn at this size
constexpr int32_t kNormalWeight = 400;

// One FreeType library for the process, and the last face opened: the text
// tool draws with one font many times in a row.
struct FaceCache {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  std::string path;
  int index = -1;
  FaceCache() {
    if (FT_Init_FreeType(&library)) library = nullptr;
  }
  ~FaceCache() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
  std::vector<uint8_t> memory;  // the face's file bytes when it came from memory
  // `file` names the face; with `bytes` the face is read from those instead.
  FT_Face open(const std::string& file, int face_index, std::vector<uint8_t>* bytes = nullptr) {
    if (face && path == file && index == face_index) return face;
    if (face) FT_Done_Face(face);
    face = nullptr;
    if (bytes) memory.swap(*bytes);
    const bool failed = bytes ? FT_New_Memory_Face(library, memory.data(), FT_Long(memory.size()), face_index, &face)
                              : FT_New_Face(library, file.c_str(), face_index, &face);
    if (!library || failed) {
      face = nullptr;
      return nullptr;
    }
    path = file;
    index = face_index;
    return face;
  }
};

FaceCache& cache() {
  static FaceCache c;
  return c;
}

struct ResolvedFace {
  std::string file;
  int index = 0;
  bool embolden = false;  // the match lacks the weight asked for
  std::vector<uint8_t> bytes;  // Windows: the file's bytes, `file` only names them
};

#ifdef _WIN32

bool resolve(const FontRequest& font, ResolvedFace& out) {
  const int32_t weight = font.weight > 0 ? std::min(font.weight, 1000) : kNormalWeight;
  platform::FontData data;
  if (!platform::installed_font_data(font.face, weight, font.italic, data)) return false;
  out.file = data.key;
  out.embolden = data.embolden;
  out.bytes = std::move(data.bytes);
  return true;
}

#else

// Asks fontconfig for the closest installed face.
bool resolve(const FontRequest& font, ResolvedFace& out) {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  const std::string family = font.face.empty() ? "sans-serif" : font.face;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  const int32_t weight = font.weight > 0 ? std::min(font.weight, 1000) : kNormalWeight;
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern, FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* file = nullptr;
  bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
  if (ok) {
    out.file = reinterpret_cast<const char*>(file);
    if (FcPatternGetInteger(match, FC_INDEX, 0, &out.index) != FcResultMatch) out.index = 0;
    FcBool embolden = FcFalse;
    out.embolden = FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden) == FcResultMatch && embolden;
  }
  FcPatternDestroy(match);
  return ok;
}

#endif

// Sizes the face the way the font record means its height and width.
bool set_size(FT_Face face, const FontRequest& font) {
  if (!FT_IS_SCALABLE(face)) return false;
  const double units = face->units_per_EM;
  const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const double height = font.height == 0 ? kDefaultCellHeight : static_cast<double>(font.height);
  double em = -height;
  if (height > 0) {
    double cell = face->ascender - face->descender;
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0)
      cell = os2->usWinAscent + os2->usWinDescent;
    em = height * units / cell;
  }
  double em_x = em;
  if (font.width > 0 && os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0)
    em_x = font.width * units / os2->xAvgCharWidth;
  em = std::clamp(em, 1.0, kMaxPixelSize);
  em_x = std::clamp(em_x, 1.0, kMaxPixelSize);
  FT_Size_RequestRec request{FT_SIZE_REQUEST_TYPE_NOMINAL, std::lround(em_x * 64), std::lround(em * 64), 0, 0};
  return FT_Request_Size(face, &request) == 0;
}

// The next code point; bytes that do not start valid UTF-8 stand for themselves.
uint32_t next_code_point(const unsigned char*& p) {
  const unsigned char c = *p;
  int extra = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : 0;
  if (c >= 0xF5) extra = 0;
  uint32_t cp = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : extra == 1 ? c & 0x1F : c;
  for (int i = 1; i <= extra; ++i) {
    if ((p[i] & 0xC0) != 0x80) {
      ++p;
      return c;
    }
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  p += 1 + extra;
  return cp;
}

// Where glyphs may land, and the box of what they wrote.
class Canvas {
 public:
  Canvas(const ImageView& image, int32_t x, int32_t y, const Colour& colour)
      : image_(image), left_(std::max(x, 0)), top_(std::max(y, 0)), colour_(colour) {
    ink_ = Rect{1, 1, 0, 0};
  }

  void put(int64_t x, int64_t y, uint32_t weight) {
    if (weight == 0 || x < left_ || y < top_ || x >= image_.width || y >= image_.height) return;
    blend_span(image_.row(static_cast<int32_t>(y)) + x * image_.channels, 1, image_.channels, colour_, weight);
    const auto xi = static_cast<int32_t>(x), yi = static_cast<int32_t>(y);
    if (ink_.right < ink_.left) {
      ink_ = Rect{xi, yi, xi, yi};
      return;
    }
    ink_.left = std::min(ink_.left, xi), ink_.right = std::max(ink_.right, xi);
    ink_.top = std::min(ink_.top, yi), ink_.bottom = std::max(ink_.bottom, yi);
  }

  void bar(int64_t x0, int64_t x1, int64_t y0, int64_t rows) {
    for (int64_t y = y0; y < y0 + rows; ++y)
      for (int64_t x = std::max<int64_t>(x0, left_); x < std::min<int64_t>(x1, image_.width); ++x) put(x, y, 255);
  }

  const Rect& ink() const { return ink_; }

 private:
  ImageView image_;
  int32_t left_, top_;
  Colour colour_;
  Rect ink_;
};

void draw_bitmap(Canvas& canvas, const FT_Bitmap& bitmap, int64_t x0, int64_t y0) {
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const unsigned char* src = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
    for (unsigned col = 0; col < bitmap.width; ++col) {
      uint32_t weight;
      if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        weight = (src[col >> 3] & (0x80 >> (col & 7))) ? 255 : 0;
      else
        weight = src[col];
      canvas.put(x0 + col, y0 + row, weight);
    }
  }
}

int64_t scaled(FT_Face face, FT_Short units) { return FT_MulFix(units, face->size->metrics.y_scale); }  // 26.6

// Underline and strike-out bars under or through one line of text.
void draw_decorations(Canvas& canvas, FT_Face face, const FontRequest& font, int64_t x0, int64_t x1,
                      int64_t baseline) {
  if (x1 <= x0) return;
  if (font.underline) {
    const int64_t thickness = std::max<int64_t>((scaled(face, face->underline_thickness) + 32) >> 6, 1);
    const int64_t top = baseline - ((scaled(face, face->underline_position) + 32) >> 6) - thickness / 2;
    canvas.bar(x0, x1, top, thickness);
  }
  if (font.strike_out) {
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    int64_t position = (face->size->metrics.ascender >> 6) / 3, thickness = 1;
    if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
      position = (scaled(face, os2->yStrikeoutPosition) + 32) >> 6;
      thickness = std::max<int64_t>((scaled(face, os2->yStrikeoutSize) + 32) >> 6, 1);
    }
    canvas.bar(x0, x1, baseline - position - thickness / 2, thickness);
  }
}

}  // namespace

bool draw_text(const ImageView& image, const char* text, const FontRequest& font, int32_t x, int32_t y,
               const Colour& colour, TextMode mode, Rect* ink) {
  if (ink) *ink = Rect{1, 1, 0, 0};
  if (!image.data || image.width <= 0 || image.height <= 0 || !supported_channels(image.channels)) return false;
  ResolvedFace resolved;
  if (!resolve(font, resolved)) return false;
  FT_Face face = cache().open(resolved.file, resolved.index, resolved.bytes.empty() ? nullptr : &resolved.bytes);
  if (!face || !set_size(face, font)) return false;

  const FT_Size_Metrics& metrics = face->size->metrics;
  const int64_t ascent = (metrics.ascender + 32) >> 6;
  const int64_t line_height = ascent + ((-metrics.descender + 32) >> 6);
  const bool smooth = mode == TextMode::Smooth;
  const FT_Int32 load = smooth ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO;
  const FT_Render_Mode render = smooth ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO;

  Canvas canvas(image, x, y, colour);
  int64_t baseline = int64_t{y} + ascent;
  int64_t pen = int64_t{x} * 64;
  const auto* p = reinterpret_cast<const unsigned char*>(text ? text : "");
  while (true) {
    const uint32_t cp = *p ? next_code_point(p) : 0;
    if (cp == 0 || cp == '\n') {
      draw_decorations(canvas, face, font, x, (pen + 32) >> 6, baseline);
      if (cp == 0) break;
      baseline += line_height;
      pen = int64_t{x} * 64;
      if (baseline - ascent >= image.height) break;
      continue;
    }
    if (cp == '\r') continue;
    if (FT_Load_Glyph(face, FT_Get_Char_Index(face, cp), load)) continue;
    FT_GlyphSlot slot = face->glyph;
    if (resolved.embolden) FT_GlyphSlot_Embolden(slot);
    if (FT_Render_Glyph(slot, render) == 0)
      draw_bitmap(canvas, slot->bitmap, ((pen + 32) >> 6) + slot->bitmap_left, baseline - slot->bitmap_top);
    pen += slot->advance.x;
  }
  if (ink) *ink = canvas.ink();
  return true;
}

}  // namespace cvl::imaging
