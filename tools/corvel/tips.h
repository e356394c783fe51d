// Brush tips the demo makes for itself before painting: an image script of a flat
// bristle brush, and a flower stamp that the engine writes as a PNG.
#pragma once

#include <string>

namespace corvel_tool {

// Writes the bristle tip script into `dir`; returns its path, or "" on failure.
std::string write_bristle_script(const std::string& dir);
// Paints a five-petal flower in grey and writes it through the engine as a PNG.
std::string write_flower_png(const std::string& dir);

}  // namespace corvel_tool
