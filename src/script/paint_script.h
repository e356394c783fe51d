// The paint-script recorder: one text file of painting commands, written line
// by line for the host to play back with its own brushes. The engine never
// reads the file back.
#pragma once

#include <cstddef>
#include <string>

namespace cvl {

struct Engine;

// The start directory of `canvas` followed by scripts<separator>luapaint.srp. No separator
// goes between the two: the start directory ends with one.
std::string paint_script_path(const Engine& canvas);

// Creates or truncates the file at the path for `canvas` and keeps it as the open stream, closing an
// earlier stream first (without its closing line). False when it cannot be
// created; the recorder then stays closed.
bool paint_script_open(const Engine& canvas);
bool paint_script_is_open();

// One line; every line ends in CR LF, whatever the platform, because the
// host's player reads them that way. Write errors are ignored.
void paint_script_line(const char* text, size_t length);
void paint_script_line(const char* text);

// Closes the stream; with `write_end` the "ScriptEnd" line goes first.
void paint_script_close(bool write_end);

}  // namespace cvl
