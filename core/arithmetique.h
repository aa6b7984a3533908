#pragma once
// Checked integer arithmetic and rounding shared by the raster and the job-name rules: an
// overflow is the error "Dépassement de capacité", never a wrap-around.

#include <cstdint>

namespace agent {

[[noreturn]] void depassement();

// Inline: the raster checks every dot's coordinates.
inline int32_t somme_verifiee(int32_t a, int32_t b) {
  int32_t somme;
  if (__builtin_add_overflow(a, b, &somme)) depassement();
  return somme;
}

// Nearest integer, ties to even (2.5 → 2, 3.5 → 4, -2.5 → -2).
double arrondi_pair(double valeur);

// arrondi_pair, then checked to fit: outside the type's range (or NaN) is an overflow.
int32_t arrondi_entier32(double valeur);
int16_t arrondi_entier16(double valeur);

}  // namespace agent
