#include "effect_catalog.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

#include "arguments.h"
#include "corvel/corvel.h"

namespace corvel_tool {

namespace {

std::vector<std::string> words_of(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : lower_case(text) + ' ') {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      word += c;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  return words;
}

int id_rank(const std::string& id) {
  for (size_t i = 0; i < std::size(kEffectArgumentIds); ++i)
    if (id == kEffectArgumentIds[i]) return int(i);
  return -1;
}

size_t edit_distance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

Effect read_effect(int32_t index, const char* name, const char* frame, const char* reads) {
  Effect e;
  e.index = index;
  e.name = name;
  e.frame = frame ? frame : "";
  e.reads = reads ? reads : "";
  const char* frame_description = nullptr;
  if (const char* d = CVL_IPLEffectDescription(index, &frame_description)) e.description = d;
  if (frame_description) e.frame_description = frame_description;
  for (int32_t k = 0;; ++k) {
    const char *arg_name = nullptr, *unit = nullptr, *meaning = nullptr;
    EffectArgument a;
    const char* id = CVL_IPLEffectArgumentInfo(index, k, &arg_name, &unit, &a.min, &a.max, &a.def, &meaning);
    if (!id) break;
    a.id = id;
    a.described = true;
    a.name = arg_name ? arg_name : "";
    a.unit = unit ? unit : "";
    a.meaning = meaning ? meaning : "";
    e.arguments.push_back(std::move(a));
  }
  for (const std::string& id : ids_in_reads(e.reads))
    if (!e.argument(id)) {
      EffectArgument a;
      a.id = id;
      e.arguments.push_back(std::move(a));
    }
  return e;
}

}  // namespace

std::string EffectArgument::label() const { return described && !name.empty() ? id + " (" + name + ")" : id; }

std::vector<std::string> ids_in_reads(const std::string& reads) {
  const std::vector<std::string> words = words_of(reads);
  std::vector<bool> read(std::size(kEffectArgumentIds), false);
  if (!words.empty() && words[0] == "all") {
    std::fill(read.begin(), read.end(), true);
    const auto but = std::find(words.begin(), words.end(), "but");
    for (auto w = but; w != words.end(); ++w)
      if (id_rank(*w) >= 0) read[size_t(id_rank(*w))] = false;
  } else {
    for (size_t i = 0; i < words.size(); ++i) {
      const int rank = id_rank(words[i]);
      if (rank >= 0) read[size_t(rank)] = true;
      // "s1 to s4": every slider between
      if (words[i] == "to" && i > 0 && i + 1 < words.size() && id_rank(words[i - 1]) >= 0 && id_rank(words[i + 1]) >= 0)
        for (int r = id_rank(words[i - 1]); r <= id_rank(words[i + 1]); ++r) read[size_t(r)] = true;
    }
  }
  std::vector<std::string> ids;
  for (size_t i = 0; i < read.size(); ++i)
    if (read[i]) ids.emplace_back(kEffectArgumentIds[i]);
  return ids;
}

bool Effect::reads_argument(const std::string& id) const { return argument(id) != nullptr; }

const EffectArgument* Effect::argument(const std::string& id) const {
  for (const EffectArgument& a : arguments)
    if (a.id == id) return &a;
  return nullptr;
}

bool Effect::text_is_file() const {
  const std::vector<std::string> words = words_of(reads);
  return frame == "lua" || std::find(words.begin(), words.end(), "text") != words.end();
}

std::string Effect::reads_for_people() const {
  std::string out;
  for (const EffectArgument& a : arguments) (out += out.empty() ? "" : ", ") += a.label();
  return out.empty() ? "nothing" : out;
}

const std::vector<Effect>& effects_catalog() {
  static const std::vector<Effect> effects = [] {
    std::vector<Effect> out;
    const char* frame = nullptr;
    const char* reads = nullptr;
    for (int32_t i = 0; const char* name = CVL_IPLEffectInfo(i, &frame, &reads); ++i)
      out.push_back(read_effect(i, name, frame, reads));
    return out;
  }();
  return effects;
}

const Effect* find_effect(const char* name) {
  for (const Effect& e : effects_catalog())
    if (e.name == name) return &e;
  return nullptr;
}

std::vector<std::string> nearest_effect_names(const std::string& name, size_t limit) {
  const std::string wanted = lower_case(name);
  std::vector<std::string> same_letters;
  for (const Effect& e : effects_catalog())
    if (lower_case(e.name) == wanted) same_letters.push_back(e.name);
  if (!same_letters.empty()) return same_letters;

  std::vector<std::pair<size_t, std::string>> near;
  const size_t tolerance = std::max<size_t>(2, wanted.size() / 4);
  for (const Effect& e : effects_catalog()) {
    const std::string candidate = lower_case(e.name);
    const size_t d = edit_distance(wanted, candidate);
    if (d <= tolerance) near.emplace_back(d, e.name);
    else if (wanted.size() >= 3 && candidate.find(wanted) != std::string::npos)
      near.emplace_back(tolerance + 1, e.name);
  }
  std::stable_sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> out;
  for (size_t i = 0; i < near.size() && out.size() < limit; ++i) out.push_back(near[i].second);
  return out;
}

std::string did_you_mean(const std::string& name) {
  std::string hint;
  for (const std::string& n : nearest_effect_names(name)) (hint += hint.empty() ? "; did you mean \"" : "\", \"") += n;
  return hint.empty() ? hint : hint + "\"?";
}

}  // namespace corvel_tool
