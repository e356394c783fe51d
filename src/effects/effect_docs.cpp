#include "effects/effect_docs.h"

#include <cstring>
#include <string_view>

#include "effects/effect_table.h"

namespace cvl {

const std::vector<EffectDoc>& effect_docs() {
  static const std::vector<EffectDoc> all = [] {
    std::vector<EffectDoc> docs;
    for (const auto* part : {&effect_docs_art_tone(), &effect_docs_distort_noise(), &effect_docs_relief_generate()})
      docs.insert(docs.end(), part->begin(), part->end());
    return docs;
  }();
  return all;
}

const EffectDoc* effect_doc(const EffectRow& row) {
  for (const EffectDoc& doc : effect_docs())
    if (std::strcmp(doc.name, row.name) == 0) return &doc;
  return nullptr;
}

}  // namespace cvl
