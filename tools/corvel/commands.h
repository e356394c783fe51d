#pragma once

namespace corvel_tool {

// Paints the demo picture and saves it; the process exit code.
int run_demo(const char* out_path);
// Reads any supported image file and writes it in the format its name asks for.
int run_convert(const char* in_path, const char* out_path);
// Prints a file's size, format and resolution.
int run_info(const char* path);
// Runs a Lua filter over an image file: SCRIPT IN OUT [--slider1..6 N] [--style1/2 N] [--flag1..6].
int run_lua(int argc, char** argv);

}  // namespace corvel_tool
