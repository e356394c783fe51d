// corvel-paint: a small painting program on the engine's public header, meant to be
// read by host authors. Usage:
//   corvel-paint [FILE] [--canvas WxH] [--layers N] [--window WxH] [--brush-size N]
//                [--save-on-exit OUT] [--timing]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "window.h"

namespace {

bool parse_size(const char* text, int& w, int& h) {
  return text && std::sscanf(text, "%dx%d", &w, &h) == 2 && w > 0 && h > 0 && w <= 10000 && h <= 10000;
}

int usage() {
  std::fprintf(stderr,
               "usage: corvel-paint [FILE] [--canvas WxH] [--layers N] [--window WxH] [--brush-size N]\n"
               "                    [--save-on-exit OUT] [--timing]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  corvel_paint::Options o;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    if (!std::strcmp(a, "--canvas")) {
      if (!parse_size(next, o.canvas_width, o.canvas_height)) return usage();
      ++i;
    } else if (!std::strcmp(a, "--window")) {
      if (!parse_size(next, o.window_width, o.window_height)) return usage();
      ++i;
    } else if (!std::strcmp(a, "--layers") && next) {
      o.layers = std::atoi(argv[++i]);
    } else if (!std::strcmp(a, "--brush-size") && next) {
      o.brush_size = std::atoi(argv[++i]);
    } else if (!std::strcmp(a, "--save-on-exit") && next) {
      o.save_path = argv[++i];
      o.save_on_exit = true;
    } else if (!std::strcmp(a, "--timing")) {
      o.timing = true;
    } else if (a[0] == '-') {
      return usage();
    } else {
      o.open_path = a;
    }
  }
  if (o.save_path.empty()) o.save_path = o.open_path.empty() ? "corvel-paint.png" : o.open_path;
  corvel_paint::PaintWindow window(o);
  if (!window.open()) return 1;
  return window.run();
}
