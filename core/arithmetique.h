#pragma once
// Checked integer arithmetic and rounding shared by the raster and the job-name rules: an
// overflow is the error "Dépassement de capacité", never a wrap-around.

#include <cstdint>

namespace agent {

int32_t somme_verifiee(int32_t a, int32_t b);

// Nearest integer, ties to even (2.5 → 2, 3.5 → 4, -2.5 → -2).
double arrondi_pair(double valeur);

// arrondi_pair, then checked to fit: outside the type's range (or NaN) is an overflow.
int32_t arrondi_entier32(double valeur);
int16_t arrondi_entier16(double valeur);

}  // namespace agent
