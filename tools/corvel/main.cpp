// corvel: a command-line host for the engine.
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: corvel demo [OUT.png]   paint a picture with the engine and save it\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  const std::string cmd = argv[1];
  if (cmd == "demo") return corvel_tool::run_demo(argc > 2 ? argv[2] : "demo.png");
  return usage();
}
