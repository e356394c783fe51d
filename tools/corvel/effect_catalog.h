// The named effects as the engine lists and describes them: the arguments each
// reads, and, where the engine has a description, each argument's name, unit,
// range, default and meaning.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvel_tool {

// Argument ids in the order the engine's effect call documents them.
inline constexpr const char* kEffectArgumentIds[] = {"s1", "s2", "s3", "s4", "s5", "s6", "option", "i1",  "i2",
                                                     "f1", "f2", "f3", "f4", "f5", "f6", "colour", "text"};

struct EffectArgument {
  std::string id;  // one of kEffectArgumentIds
  bool described = false;  // false: the engine has only the id
  std::string name, unit, meaning;
  double min = 0, max = 0, def = 0;

  bool is_slider() const { return id.size() == 2 && id[0] == 's'; }
  // "s1", or "s1 (Radius)" when described.
  std::string label() const;
};

struct Effect {
  int32_t index = -1;
  std::string name, frame, reads;  // reads as the engine lists it: "s1, S2, option", "s1 to s4, f1", "all", ""
  std::string description, frame_description;  // description empty while the engine has none
  std::vector<EffectArgument> arguments;  // the described ones in their order, then the rest read

  bool reads_argument(const std::string& id) const;
  // The argument with this id among those read, or null.
  const EffectArgument* argument(const std::string& id) const;
  // Whether the text is a file the effect renders or runs (an image script, a picture, a Lua script).
  bool text_is_file() const;
  // What it reads, for a person: "s1 (Radius), option (Direction)", or "nothing".
  std::string reads_for_people() const;
};

// Every effect the engine runs, in the engine's order.
const std::vector<Effect>& effects_catalog();
// The effect named exactly `name`, or null.
const Effect* find_effect(const char* name);
// Names close to `name`: a case-insensitive match alone when there is one, else
// the nearest spellings and the names containing it; at most `limit`.
std::vector<std::string> nearest_effect_names(const std::string& name, size_t limit = 5);
// "; did you mean "Spin"?" with the nearest names, or "" when none is near.
std::string did_you_mean(const std::string& name);

// The ids an engine "reads" text names, in kEffectArgumentIds order.
std::vector<std::string> ids_in_reads(const std::string& reads);

}  // namespace corvel_tool
