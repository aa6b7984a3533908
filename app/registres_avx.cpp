#include "app/registres_avx.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace agent {

#if defined(__x86_64__) || defined(__i386__)

namespace {

__attribute__((target("avx"))) void vzeroupper() { _mm256_zeroupper(); }

}  // namespace

void libere_registres_avx() {
  if (__builtin_cpu_supports("avx")) vzeroupper();
}

#else

void libere_registres_avx() {}

#endif

}  // namespace agent
