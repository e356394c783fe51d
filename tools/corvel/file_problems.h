// Why a file cannot be read or written, said in a person's words, so that every
// command reports the same causes the same way.
#pragma once

#include <string>

namespace corvel_tool {

// What keeps the file from being opened for reading: no such file, not a regular
// file, permission denied, empty; "" when nothing does.
std::string unreadable_file(const char* path);

// Why the engine refused a file it could open: damaged (with the engine's own
// reason when it gives one), a format it does not read, or a picture too large.
std::string refused_picture(const char* path);

// What keeps `path` from being written: an extension not in `extensions` (".png
// .jpg ..."), a missing folder, a folder that is not one, permission denied; ""
// when nothing does.
std::string unwritable_file(const char* path, const char* extensions);

// The engine's last-error text, when it holds one of its own beyond an exception tag.
std::string engine_reason();

}  // namespace corvel_tool
