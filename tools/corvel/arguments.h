// Command-line words shared by the tools' option parsers.
#pragma once

#include <cstdint>
#include <string>

namespace corvel_tool {

// The 0-based index of an option numbered from 1, such as "--s3" for stem "--s"
// (single digits 1..count), or -1 when arg is not one of them.
int option_index(const char* arg, const char* stem, int count);

// A whole decimal number that fits 32 bits, with nothing after it.
bool parse_int(const char* text, int32_t& value);

// A number as people read it: 12, 0.5, 1e+06 ("%g").
std::string number_text(double v);

// The text with ASCII letters in lower case.
std::string lower_case(std::string s);

}  // namespace corvel_tool
