#include "printing/marques_ligne.h"

#include "printing/couleurs.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace agent {

#if defined(__SSE2__)

namespace {

// -1 in each of the four lanes that holds a printable colour, 0 elsewhere.
__m128i imprimables(__m128i c) {
  __m128i oui = _mm_cmpeq_epi32(c, _mm_set1_epi32(static_cast<int32_t>(couleurs_imprimables[0])));
  for (size_t i = 1; i < couleurs_imprimables.size(); ++i) {
    oui = _mm_or_si128(oui, _mm_cmpeq_epi32(c, _mm_set1_epi32(static_cast<int32_t>(couleurs_imprimables[i]))));
  }
  return oui;
}

// Four lanes of -1 or 0 each, as sixteen bytes of -1 or 0, in order.
__m128i en_octets(const __m128i (&m)[4]) {
  return _mm_packs_epi16(_mm_packs_epi32(m[0], m[1]), _mm_packs_epi32(m[2], m[3]));
}

}  // namespace

// Inside a run no mark is set whatever the colour: a block whose every pixel equals both
// neighbours is cleared at the cost of the comparisons alone, so that a page of long runs (most
// pages) skips the colour test, which costs four times as much.
void marque_ligne(const uint32_t* p, size_t colonnes, uint8_t* debuts, uint8_t* fins) {
  const __m128i un = _mm_set1_epi8(1);
  for (size_t x = 0; x < colonnes_en_blocs(colonnes); x += 16) {
    __m128i pixels[4], comme_avant[4], comme_apres[4];
    for (size_t k = 0; k < 4; ++k) {
      const uint32_t* q = p + x + 4 * k;
      pixels[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
      comme_avant[k] = _mm_cmpeq_epi32(pixels[k], _mm_loadu_si128(reinterpret_cast<const __m128i*>(q - 1)));
      comme_apres[k] = _mm_cmpeq_epi32(pixels[k], _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 1)));
    }
    const __m128i avant = en_octets(comme_avant), apres = en_octets(comme_apres);
    __m128i debut = _mm_setzero_si128(), fin = _mm_setzero_si128();
    if (_mm_movemask_epi8(_mm_and_si128(avant, apres)) != 0xFFFF) {
      const __m128i imprimable =
          en_octets({imprimables(pixels[0]), imprimables(pixels[1]), imprimables(pixels[2]), imprimables(pixels[3])});
      debut = _mm_and_si128(_mm_andnot_si128(avant, imprimable), un);
      fin = _mm_and_si128(_mm_andnot_si128(apres, imprimable), un);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(debuts + x), debut);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(fins + x), fin);
  }
}

#else

void marque_ligne(const uint32_t* p, size_t colonnes, uint8_t* debuts, uint8_t* fins) {
  for (size_t x = 0; x < colonnes_en_blocs(colonnes); ++x) {
    const auto imprimable = static_cast<uint8_t>(est_imprimable(p[x]));
    debuts[x] = imprimable & static_cast<uint8_t>(p[x] != p[x - 1]);
    fins[x] = imprimable & static_cast<uint8_t>(p[x] != p[x + 1]);
  }
}

#endif

}  // namespace agent
