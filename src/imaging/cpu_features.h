// What the processor offers beyond the build's baseline, asked once a process.
// Code built for AVX2 (__attribute__((target("avx2")))) is taken only where
// cpu_has_avx2() says so; every such path keeps a portable twin.
#pragma once

namespace cvl::imaging {

inline bool cpu_has_avx2() {
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
#else
  return false;
#endif
}

}  // namespace cvl::imaging
