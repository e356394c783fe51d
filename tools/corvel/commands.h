#pragma once

#include <cstdint>
#include <vector>

namespace corvel_tool {

// Paints the demo picture and saves it; the process exit code.
int run_demo(const char* out_path);
// Reads any supported image file and writes it in the format its name asks for.
int run_convert(const char* in_path, const char* out_path);
// Prints a file's size, format and resolution.
int run_info(const char* path);
// Runs a Lua filter over an image file: SCRIPT IN OUT [--slider1..6 N] [--style1/2 N] [--flag1..6]
// [--sandbox] [--timeout SECONDS]. 2 for a bad command line.
int run_lua(int argc, char** argv);
// Lists the effects with their descriptions and arguments: [NAME] [--json].
int run_effects(int argc, char** argv);
// Runs one named effect over an image file: NAME IN OUT [--s1..6 V] [--option N] [--i1/--i2 N]
// [--f1..6] [--color R,G,B] [--text PATH] [--timeout SECONDS]. 2 for a bad command line.
int run_effect(int argc, char** argv);
// Runs every effect on one test picture and writes the labelled contact sheet.
int run_effect_sheet(const char* out_path);
// Renders every effect, layer mix mode and brush mix mode into DIR with an index.html.
int run_gallery(const char* dir);
// Plays a recorded paint script onto a canvas: SCRIPT OUT [--size WxH] [--background FILE]
// [--keep-going]. 2 for a bad command line.
int run_play(int argc, char** argv);
// Resamples an image file to width x height with a named filter and writes it.
int run_resize(const char* in_path, const char* out_path, const char* width, const char* height, const char* filter);

// A picture read through the engine's file calls, as packed RGBA32.
struct Picture {
  std::vector<uint8_t> rgba;
  int32_t width = 0, height = 0, dpi = 0;
  bool transparent = false;
};
// The extensions write_rgba writes, as ".png .jpg ...".
extern const char* const kWritableExtensions;
// Reads any supported image file; reports failures.
bool read_picture(const char* path, Picture& out);
// Reads an image file into the engine's new-RGBA buffer; reports failures with their cause.
bool read_into_engine(const char* path);
// Whether out_path can be written with one of `extensions` (".png .jpg ..."); reports why not.
bool writable(const char* path, const char* extensions);

// Writes packed RGBA32 pixels in the format out_path's extension asks for, with
// alpha where the format keeps it and the picture has any; reports failures.
bool write_rgba(const uint8_t* rgba, int32_t width, int32_t height, bool transparent, const char* out_path,
                int32_t dpi);

// Publishes an image file on the X11 clipboard through the engine's clipboard
// and serves it for `seconds` or until another program takes the clipboard.
int run_copy(const char* in_path, int seconds);
// Reads the X11 clipboard's image through the engine and writes it as PNG.
int run_paste(const char* out_path);

}  // namespace corvel_tool
