// Reading a recorded paint script back: the file holds keyword lines each followed by
// a fixed number of value lines, and nothing else tells a reader where a block ends.
// The reader splits the text into commands and reports every line it cannot place,
// then carries on, so one damaged line costs only its own command.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cvl {

enum class PaintOp {
  DrawStart,
  SmoothPlot2,
  DrawStop,
  SelectBrush,
  SetBrushSize,
  SetBrushDensity,
  SetBrushOpacity,
  SetColor,
  SetColorBanks,
  Line2,
  Spline,
  Dab,
  Filter,
};

struct PaintCommand {
  PaintOp op;
  int line;  // 1-based line of the keyword; value i stands on line + 1 + i
  std::vector<std::string_view> values;
};

class PaintScriptSink {
 public:
  virtual ~PaintScriptSink() = default;
  virtual void seed(std::string_view) {}
  virtual void command(const PaintCommand& c) = 0;
  virtual void problem(int line, const std::string& what) = 0;
};

// Reads the whole script text (CR LF or LF line ends). The views handed to the sink
// point into `text`.
void read_paint_script(std::string_view text, PaintScriptSink& sink);

// A value line as a number: the whole line must be one finite decimal number.
bool paint_number(std::string_view text, double& out);

const char* paint_op_name(PaintOp op);

}  // namespace cvl
