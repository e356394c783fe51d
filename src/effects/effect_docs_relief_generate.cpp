#include "effects/effect_docs.h"

namespace cvl {

const std::vector<EffectDoc>& effect_docs_relief_generate() {
  static const std::vector<EffectDoc> docs = {
  };
  return docs;
}

}  // namespace cvl
