#pragma once

namespace corvel_tool {

int run_demo(const char* out_path);

}  // namespace corvel_tool
