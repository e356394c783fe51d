// corvel: a command-line host for the engine.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "commands.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: corvel demo [OUT.png]     paint a picture with the engine and save it\n"
               "       corvel convert IN OUT     read any supported image and write it as OUT's extension asks\n"
               "       corvel info FILE          print an image file's format, size and resolution\n"
               "       corvel resize IN OUT W H [FILTER]\n"
               "                                 resample to W x H with a named filter (default \"Lanczos3\")\n"
               "       corvel copy IN [SECONDS]  put an image on the X11 clipboard (served 60 s or until replaced)\n"
               "       corvel paste OUT.png      write the X11 clipboard's image\n"
               "       corvel lua SCRIPT IN OUT [--slider1..6 N] [--style1|2 N] [--flag1..6]\n"
               "                                 run a Lua filter over an image; sliders in thousandths\n"
               "       corvel effects            list the image effects with their frame and the arguments they read\n"
               "       corvel effect NAME IN OUT [--s1..6 V] [--option N] [--i1|--i2 N] [--f1..6] [--color R,G,B] [--text PATH]\n"
               "                                 run one image effect over an image; sliders 0..100\n"
               "       corvel effect-sheet OUT.png\n"
               "                                 every image effect on one test picture, as a labelled contact sheet\n"
               "       corvel gallery DIR        every effect, layer mix mode and brush mix mode as pictures with an index.html\n"
               "       corvel play SCRIPT.srp OUT.png [--size WxH] [--background FILE]\n"
               "                                 paint a recorded paint script (default 640 x 480 white)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  const std::string cmd = argv[1];
  if (cmd == "demo" && argc <= 3) return corvel_tool::run_demo(argc > 2 ? argv[2] : "demo.png");
  if (cmd == "convert" && argc == 4) return corvel_tool::run_convert(argv[2], argv[3]);
  if (cmd == "info" && argc == 3) return corvel_tool::run_info(argv[2]);
  if (cmd == "resize" && (argc == 6 || argc == 7))
    return corvel_tool::run_resize(argv[2], argv[3], argv[4], argv[5], argc == 7 ? argv[6] : "Lanczos3");
  if (cmd == "copy" && (argc == 3 || argc == 4)) return corvel_tool::run_copy(argv[2], argc == 4 ? std::atoi(argv[3]) : 60);
  if (cmd == "paste" && argc == 3) return corvel_tool::run_paste(argv[2]);
  if (cmd == "lua" && argc >= 5) {
    const int status = corvel_tool::run_lua(argc - 2, argv + 2);
    return status == 2 ? usage() : status;
  }
  if (cmd == "effects" && argc == 2) return corvel_tool::run_effects();
  if (cmd == "effect" && argc >= 5) {
    const int status = corvel_tool::run_effect(argc - 2, argv + 2);
    return status == 2 ? usage() : status;
  }
  if (cmd == "effect-sheet" && argc == 3) return corvel_tool::run_effect_sheet(argv[2]);
  if (cmd == "gallery" && argc == 3) return corvel_tool::run_gallery(argv[2]);
  if (cmd == "play" && argc >= 4) {
    const int status = corvel_tool::run_play(argc - 2, argv + 2);
    return status == 2 ? usage() : status;
  }
  return usage();
}
