// GDI picks the face the way the desktop's own programs get it and hands out
// the font file's bytes, which FreeType reads from memory.
#include <windows.h>

#include <cstring>

#include "platform/font_data.h"

namespace cvl::platform {
namespace {

constexpr DWORD kCollectionTag = 0x66637474;  // 'ttcf' as GetFontData wants it

}  // namespace

bool installed_font_data(const std::string& family, int32_t weight, bool italic, FontData& out) {
  LOGFONTA lf{};
  lf.lfHeight = -64;
  lf.lfWeight = weight;
  lf.lfItalic = italic ? 1 : 0;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  const std::string face = family.empty() ? "Arial" : family;
  std::strncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectA(&lf);
  if (!font) return false;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = dc ? SelectObject(dc, font) : nullptr;
  bool ok = false;
  if (dc) {
    DWORD table = kCollectionTag;
    DWORD size = GetFontData(dc, table, 0, nullptr, 0);
    if (size == GDI_ERROR || size == 0) {
      table = 0;
      size = GetFontData(dc, table, 0, nullptr, 0);
    }
    if (size != GDI_ERROR && size > 0) {
      out.bytes.resize(size);
      ok = GetFontData(dc, table, 0, out.bytes.data(), size) == size;
    }
    TEXTMETRICA metrics{};
    char chosen[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, chosen);
    if (ok && GetTextMetricsA(dc, &metrics)) out.embolden = weight >= 600 && metrics.tmWeight < 600;
    out.key = std::string(chosen) + (italic ? "/i" : "/r") + std::to_string(metrics.tmWeight);
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  DeleteObject(font);
  if (!ok) out.bytes.clear();
  return ok;
}

}  // namespace cvl::platform
