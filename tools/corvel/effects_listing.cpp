// `corvel effects [NAME] [--json]`: the effects as the engine describes them,
// for people (every effect, or one in detail) or as JSON for programs.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "effect_catalog.h"

namespace corvel_tool {

namespace {

std::string number(double v) {
  char s[40];
  std::snprintf(s, sizeof s, "%.15g", v);
  return s;
}

std::string json_string(const std::string& s) {
  std::string out = "\"";
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      (out += '\\') += ch;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      out += esc;
    } else {
      out += ch;
    }
  }
  return out + '"';
}

std::string json_text_or_null(const std::string& s, bool known) { return known ? json_string(s) : "null"; }
std::string json_number_or_null(double v, bool known) { return known && std::isfinite(v) ? number(v) : "null"; }

std::string json_argument(const EffectArgument& a) {
  const bool d = a.described;
  return "{\"arg\": " + json_string(a.id) + ", \"name\": " + json_text_or_null(a.name, d) +
         ", \"min\": " + json_number_or_null(a.min, d) + ", \"max\": " + json_number_or_null(a.max, d) +
         ", \"default\": " + json_number_or_null(a.def, d) + ", \"unit\": " + json_text_or_null(a.unit, d) +
         ", \"meaning\": " + json_text_or_null(a.meaning, d) + "}";
}

std::string json_effect(const Effect& e) {
  std::string sliders, others;
  for (const EffectArgument& a : e.arguments) {
    std::string& list = a.is_slider() ? sliders : others;
    (list += list.empty() ? "\n    " : ",\n    ") += json_argument(a);
  }
  auto block = [](const std::string& list) { return list.empty() ? std::string("[]") : "[" + list + "\n  ]"; };
  return "{\"name\": " + json_string(e.name) + ", \"frame\": " + json_string(e.frame) +
         ", \"frame_description\": " + json_string(e.frame_description) +
         ",\n  \"description\": " + json_text_or_null(e.description, !e.description.empty()) +
         ", \"reads\": " + json_string(e.reads) + ",\n  \"sliders\": " + block(sliders) +
         ",\n  \"arguments\": " + block(others) + "}";
}

// "s1  Angle: 0 to 100 degrees, default 40. Meaning", or the id alone.
std::string argument_line(const EffectArgument& a) {
  if (!a.described) return a.id + "  (no description yet)";
  std::string line = a.id + "  " + a.name + ": ";
  if (a.id == "text") line += "a file";
  else
    line +=
        number(a.min) + " to " + number(a.max) + (a.unit.empty() ? "" : " " + a.unit) + ", default " + number(a.def);
  return a.meaning.empty() ? line : line + ". " + a.meaning;
}

void print_effect(const Effect& e, bool detail) {
  std::printf("%s  [%s]\n", e.name.c_str(), e.frame.c_str());
  std::printf("    %s\n", e.description.empty() ? "(no description yet)" : e.description.c_str());
  if (detail && !e.frame_description.empty())
    std::printf("    Frame %s: %s\n", e.frame.c_str(), e.frame_description.c_str());
  if (detail) std::printf("    Reads: %s\n", e.reads.empty() ? "nothing" : e.reads.c_str());
  for (const EffectArgument& a : e.arguments) std::printf("    %s\n", argument_line(a).c_str());
  if (!detail) return;
  std::string example = "corvel effect \"" + e.name + "\" IN OUT";
  for (const EffectArgument& a : e.arguments) {
    if (!a.described || a.id == "text" || a.id == "colour") continue;
    if (a.id[0] == 'f') example += a.def != 0 ? " --" + a.id : "";
    else example += " --" + a.id + " " + number(a.def);
  }
  if (e.text_is_file()) example += " --text FILE";
  std::printf("    With its defaults: %s\n", example.c_str());
}

}  // namespace

int run_effects(int argc, char** argv) {
  bool json = false;
  const char* name = nullptr;
  for (int i = 0; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--json")) {
      json = true;
    } else if (argv[i][0] == '-' || name) {
      std::fprintf(stderr, "corvel effects: %s: %s\n", argv[i],
                   argv[i][0] == '-' ? "not an option of corvel effects" : "one effect name at most");
      return 2;
    } else {
      name = argv[i];
    }
  }
  std::vector<const Effect*> chosen;
  if (name) {
    const Effect* e = find_effect(name);
    if (!e) {
      std::fprintf(stderr, "corvel effects: unknown effect \"%s\"%s\n", name, did_you_mean(name).c_str());
      return 1;
    }
    chosen.push_back(e);
  } else {
    for (const Effect& e : effects_catalog()) chosen.push_back(&e);
  }
  if (json && name) {
    std::printf("%s\n", json_effect(*chosen[0]).c_str());
  } else if (json) {
    std::printf("[\n");
    for (size_t i = 0; i < chosen.size(); ++i)
      std::printf("%s%s\n", json_effect(*chosen[i]).c_str(), i + 1 < chosen.size() ? "," : "");
    std::printf("]\n");
  } else {
    for (size_t i = 0; i < chosen.size(); ++i) {
      if (i) std::printf("\n");
      print_effect(*chosen[i], name != nullptr);
    }
  }
  return 0;
}

}  // namespace corvel_tool
