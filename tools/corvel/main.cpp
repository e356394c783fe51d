// corvel: a command-line host for the engine.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "arguments.h"
#include "commands.h"
#include "corvel/corvel.h"

namespace {

using corvel_tool::run_effect;
using corvel_tool::run_effects;
using corvel_tool::run_lua;
using corvel_tool::run_play;

struct Command {
  const char* name;
  const char* arguments;  // after the command's name
  const char* summary;    // what it does
  const char* options;    // the options in full, for `corvel help NAME`; "" for none
  int min_args, max_args;  // words after the name; -1: no upper limit
  int (*run)(int argc, char** argv);
};

constexpr Command kCommands[] = {
    {"demo", "[OUT.png]", "paint a picture with the engine and save it (default demo.png)", "", 0, 1,
     [](int argc, char** argv) { return corvel_tool::run_demo(argc ? argv[0] : "demo.png"); }},
    {"convert", "IN OUT", "read any supported image and write it as OUT's extension asks", "", 2, 2,
     [](int, char** argv) { return corvel_tool::run_convert(argv[0], argv[1]); }},
    {"info", "FILE", "print an image file's format, size and resolution", "", 1, 1,
     [](int, char** argv) { return corvel_tool::run_info(argv[0]); }},
    {"resize", "IN OUT W H [FILTER]", "resample to W x H (1..10000) with a named filter (default \"Lanczos3\")", "",
     4, 5,
     [](int argc, char** argv) {
       return corvel_tool::run_resize(argv[0], argv[1], argv[2], argv[3], argc == 5 ? argv[4] : "Lanczos3");
     }},
    {"copy", "IN [SECONDS]", "put an image on the X11 clipboard (served 60 s or until replaced)", "", 1, 2,
     [](int argc, char** argv) {
       int32_t seconds = 60;
       if (argc == 2 && (!corvel_tool::parse_int(argv[1], seconds) || seconds < 1)) {
         std::fprintf(stderr, "corvel copy: SECONDS \"%s\": needs a whole number above 0\n", argv[1]);
         return 2;
       }
       return corvel_tool::run_copy(argv[0], seconds);
     }},
    {"paste", "OUT.png", "write the X11 clipboard's image", "", 1, 1,
     [](int, char** argv) { return corvel_tool::run_paste(argv[0]); }},
    {"lua", "SCRIPT IN OUT [options]", "run a Lua filter over an image",
     "  --slider1..--slider6 N   sliders in thousandths (sliderVal = N / 1000)\n"
     "  --style1, --style2 N     styles (styleVal = N + 1)\n"
     "  --flag1..--flag6         set a flag\n"
     "  --sandbox                the engine's Lua sandbox: no io, os.execute/remove/rename/exit,\n"
     "                           package.loadlib, debug, dofile/loadfile/require\n"
     "  --timeout SECONDS        stop the script after SECONDS (it sees Escape through is_escape)\n",
     3, -1, run_lua},
    {"effects", "[NAME] [--json]", "describe the image effects and their arguments (one in detail, or as JSON)", "", 0,
     2, run_effects},
    {"effect", "NAME IN OUT [options]", "run one image effect over an image",
     "  --s1..--s6 V             sliders in their own units (0..100 unless the effect says otherwise)\n"
     "  --option N, --i1 N, --i2 N\n"
     "  --f1..--f6               set a flag\n"
     "  --color R,G,B            a colour, each channel 0..255\n"
     "  --text FILE              the script or picture an effect uses\n"
     "  --timeout SECONDS        stop the effect after SECONDS\n"
     "An argument the effect does not read is refused; `corvel effects NAME` says what it reads.\n",
     3, -1, run_effect},
    {"effect-sheet", "OUT.png", "every image effect on one test picture, as a labelled contact sheet", "", 1, 1,
     [](int, char** argv) { return corvel_tool::run_effect_sheet(argv[0]); }},
    {"gallery", "DIR", "every effect, layer mix mode and brush mix mode as pictures with an index.html", "", 1, 1,
     [](int, char** argv) { return corvel_tool::run_gallery(argv[0]); }},
    {"play", "SCRIPT.srp OUT [options]", "paint a recorded paint script (default 640 x 480 white)",
     "  --size WxH               the canvas size, 1..10000 each way\n"
     "  --background FILE        paint over this picture (its size is the canvas size)\n"
     "  --keep-going             write the picture even when lines of the script had problems\n"
     "OUT ends in .png, .jpg or .bmp.\n",
     2, -1, run_play},
};

const Command* find_command(const char* name) {
  for (const Command& c : kCommands)
    if (std::strcmp(c.name, name) == 0) return &c;
  return nullptr;
}

void print_synopsis(FILE* to, const Command& c, const char* lead) {
  std::fprintf(to, "%scorvel %s %s\n", lead, c.name, c.arguments);
}

void print_usage(FILE* to) {
  std::fprintf(to, "usage: corvel COMMAND ARGUMENTS...\n\n");
  for (const Command& c : kCommands) {
    print_synopsis(to, c, "  ");
    std::fprintf(to, "      %s\n", c.summary);
  }
  std::fprintf(to,
               "\n  corvel help COMMAND       a command's options\n"
               "  corvel --version          the engine's version\n"
               "  --threads N               with any command: threads for whole-picture work (0, the\n"
               "                            default, one per hardware thread; 1 the calling thread alone)\n");
}

void print_help(const Command& c) {
  print_synopsis(stdout, c, "usage: ");
  std::printf("%s\n", c.summary);
  if (*c.options) std::printf("\n%s", c.options);
}

bool is_help(const char* word) {
  return !std::strcmp(word, "--help") || !std::strcmp(word, "-h") || !std::strcmp(word, "help");
}

// `--threads N` may stand anywhere on the line; it is taken out before the command
// sees its arguments. Returns false (having said why) when N is not 0..64.
bool take_threads_option(int& argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--threads") != 0) continue;
    int32_t count = -1;
    if (i + 1 >= argc || !corvel_tool::parse_int(argv[i + 1], count) || count < 0 || count > 64) {
      std::fprintf(stderr, "corvel: --threads %s: needs a whole number from 0 (one per hardware thread) to 64\n",
                   i + 1 < argc ? argv[i + 1] : "(missing)");
      return false;
    }
    CVL_SetThreadCount(count);
    for (int k = i; k + 2 <= argc; ++k) argv[k] = argv[k + 2];
    argc -= 2;
    --i;
  }
  return true;
}

int version() {
  const char* loaded = CVL_GetVersion();
  char built[32];
  std::snprintf(built, sizeof built, "%d.%d.%d", CORVEL_VERSION_MAJOR, CORVEL_VERSION_MINOR, CORVEL_VERSION_PATCH);
  if (std::strcmp(loaded, built) == 0) std::printf("corvel %s\n", loaded);
  else std::printf("corvel %s (built against %s)\n", loaded, built);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (!take_threads_option(argc, argv)) return 2;
  if (argc < 2) {
    print_usage(stderr);
    return 2;
  }
  const char* word = argv[1];
  if (!std::strcmp(word, "--version")) return version();
  if (is_help(word) && argc == 2) {
    print_usage(stdout);
    return 0;
  }
  if (!std::strcmp(word, "help") && argc == 3) {
    if (const Command* c = find_command(argv[2])) {
      print_help(*c);
      return 0;
    }
    std::fprintf(stderr, "corvel help: unknown command \"%s\"\n", argv[2]);
    print_usage(stderr);
    return 2;
  }
  const Command* c = find_command(word);
  if (!c) {
    std::fprintf(stderr, "corvel: unknown command \"%s\"\n\n", word);
    print_usage(stderr);
    return 2;
  }
  const int n = argc - 2;
  if (n == 1 && is_help(argv[2]) && std::strcmp(argv[2], "help") != 0) {
    print_help(*c);
    return 0;
  }
  if (n < c->min_args || (c->max_args >= 0 && n > c->max_args)) {
    std::fprintf(stderr, "corvel %s: %d argument%s given; usage: corvel %s %s\n", c->name, n, n == 1 ? "" : "s",
                 c->name, c->arguments);
    return 2;
  }
  return c->run(n, argv + 2);
}
