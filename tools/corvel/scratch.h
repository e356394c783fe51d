// Scratch folders under the system's temporary directory, made the same way on
// every platform the command-line host builds for.
#pragma once

#include <string>

namespace corvel_tool {

// A new, empty folder named after stem ("" when none could be made). Creating a
// folder is atomic, so two processes never share one.
std::string make_scratch_dir(const char* stem);

}  // namespace corvel_tool
