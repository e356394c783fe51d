#include "ipl/inhouse_effects.h"

namespace cvl {

// Placeholder until the in-house effects land: no effect runs.
int32_t inhouse_entry(const char*, uint8_t, const InhouseArgs&) { return 0; }

int32_t photo_pop(int32_t, double, int32_t) { return 0; }

}  // namespace cvl
