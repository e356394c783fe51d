#pragma once

namespace corvel_tool {

// Paints the demo picture and saves it; the process exit code.
int run_demo(const char* out_path);
// Reads any supported image file and writes it in the format its name asks for.
int run_convert(const char* in_path, const char* out_path);
// Prints a file's size, format and resolution.
int run_info(const char* path);

// Publishes an image file on the X11 clipboard through the engine's clipboard
// and serves it for `seconds` or until another program takes the clipboard.
int run_copy(const char* in_path, int seconds);
// Reads the X11 clipboard's image through the engine and writes it as PNG.
int run_paste(const char* out_path);

}  // namespace corvel_tool
