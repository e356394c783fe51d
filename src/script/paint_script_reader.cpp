#include "script/paint_script_reader.h"

#include <cmath>
#include <cstdlib>
#include <iterator>

namespace cvl {

namespace {

struct Keyword {
  const char* name;
  PaintOp op;
  size_t values;
};

// The value-line count of every keyword, as the recorder writes them.
constexpr Keyword kKeywords[] = {
    {"DrawStart", PaintOp::DrawStart, 3},     {"SmoothPlot2", PaintOp::SmoothPlot2, 5},
    {"DrawStop", PaintOp::DrawStop, 1},       {"SelectBrush", PaintOp::SelectBrush, 3},
    {"SetBrushSize", PaintOp::SetBrushSize, 1}, {"SetBrushDensity", PaintOp::SetBrushDensity, 1},
    {"SetBrushOpacity", PaintOp::SetBrushOpacity, 1}, {"SetColor", PaintOp::SetColor, 3},
    {"SetColorBanks", PaintOp::SetColorBanks, 13}, {"Line2", PaintOp::Line2, 4},
    {"Spline", PaintOp::Spline, 8},           {"Dab", PaintOp::Dab, 3},
    {"Filter", PaintOp::Filter, 20},
};

const Keyword* find_keyword(std::string_view line) {
  for (const Keyword& k : kKeywords)
    if (line == k.name) return &k;
  return nullptr;
}

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::string quoted(std::string_view s) {
  constexpr size_t kShown = 40;
  std::string out = "\"";
  for (char c : s.substr(0, kShown)) out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '?' : c;
  return out + (s.size() > kShown ? "...\"" : "\"");
}

}  // namespace

const char* paint_op_name(PaintOp op) {
  for (const Keyword& k : kKeywords)
    if (k.op == op) return k.name;
  return "?";
}

bool paint_number(std::string_view text, double& out) {
  // strtod needs a terminated string; a value line longer than any number is not one.
  char buf[64];
  if (text.empty() || text.size() >= sizeof buf) return false;
  text.copy(buf, text.size());
  buf[text.size()] = '\0';
  char* end = nullptr;
  const double v = std::strtod(buf, &end);
  if (end != buf + text.size() || !std::isfinite(v)) return false;
  out = v;
  return true;
}

void read_paint_script(std::string_view text, PaintScriptSink& sink) {
  const std::vector<std::string_view> lines = split_lines(text);
  size_t i = 0;
  static constexpr std::string_view kHeader[] = {"1554", "Description", "1", " ", "RandomSeed"};
  if (lines.size() >= std::size(kHeader) + 1 && std::equal(std::begin(kHeader), std::end(kHeader), lines.begin())) {
    sink.seed(lines[std::size(kHeader)]);
    i = std::size(kHeader) + 1;
  } else {
    sink.problem(1, "no paint-script header; reading commands from the first line");
  }
  while (i < lines.size()) {
    const int line = static_cast<int>(i + 1);
    if (lines[i] == "ScriptEnd") {
      if (i + 1 < lines.size() && !(i + 2 == lines.size() && lines[i + 1].empty()))
        sink.problem(line + 1, "lines after ScriptEnd are ignored");
      return;
    }
    const Keyword* k = find_keyword(lines[i]);
    if (!k) {
      // Skip to the next keyword, so an unknown command's values are not read as commands.
      size_t next = i + 1;
      while (next < lines.size() && !find_keyword(lines[next]) && lines[next] != "ScriptEnd") ++next;
      std::string what = "unknown command " + quoted(lines[i]);
      if (next > i + 1) what += " (skipped to line " + std::to_string(next + 1) + ")";
      sink.problem(line, what);
      i = next;
      continue;
    }
    if (lines.size() - i - 1 < k->values) {
      sink.problem(line, std::string(k->name) + " is cut short by the end of the file");
      return;
    }
    // A keyword among the values means the block lost lines: report it and restart there.
    size_t cut = 0;
    for (size_t v = 1; v <= k->values && !cut; ++v)
      if (find_keyword(lines[i + v]) && !(k->op == PaintOp::SelectBrush || k->op == PaintOp::Filter)) cut = v;
    if (cut) {
      sink.problem(line, std::string(k->name) + " has " + std::to_string(cut - 1) + " of its " +
                             std::to_string(k->values) + " values");
      i += cut;
      continue;
    }
    PaintCommand c{k->op, line, {lines.begin() + long(i + 1), lines.begin() + long(i + 1 + k->values)}};
    sink.command(c);
    i += 1 + k->values;
  }
}

}  // namespace cvl
