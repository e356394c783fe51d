#include "ipl/text_font.h"

#include <cstring>

#include "core/engine.h"
#include "core/last_error.h"

namespace cvl {
namespace {

LogFontA g_text_font{};

struct FontError {
  uint32_t code;
  const char* text;
};
constexpr FontError kFontErrors[] = {
    {2, "Font Err: CDERR_INITIALIZATION"},   {5, "Font Err: CDERR_LOADSTRFAILURE"},
    {6, "Font Err: CDERR_FINDRESFAILURE"},   {7, "Font Err: CDERR_LOADRESFAILURE"},
    {8, "Font Err: CDERR_LOCKRESFAILURE"},   {9, "Font Err: CDERR_MEMALLOCFAILURE"},
    {10, "Font Err: CDERR_MEMLOCKFAILURE"},  {0x2001, "Font Err: CFERR_NOFONTS"},
    {0x2002, "Font Err: CFERR_MAXLESSTHANMIN"}, {0xFFFF, "Font Err: CDERR_DIALOGFAILURE"},
};

uint8_t* bytes(LogFontA& font) { return reinterpret_cast<uint8_t*>(&font); }

}  // namespace

LogFontA& text_font() { return g_text_font; }

const char* font_error_text(uint32_t code) {
  for (const FontError& e : kFontErrors)
    if (e.code == code) return e.text;
  return "Font Err: Other Error";
}

int32_t choose_text_font(const Engine& canvas) {
  void* owner = canvas.owner_window;
  uint32_t error = 0;
  const int32_t chosen = platform::choose_font(owner, bytes(g_text_font), true, &error);
  if (chosen || error == 0) return chosen;
  set_last_error(font_error_text(error));
  // The retry starts from a blank record (the stored font may be what the
  // dialog choked on), but it goes into a copy: cancelling the retry must not
  // throw away the font chosen earlier.
  LogFontA retry{};
  const int32_t result = platform::choose_font(owner, bytes(retry), false, &error);
  if (result) g_text_font = retry;
  return result;
}

}  // namespace cvl
