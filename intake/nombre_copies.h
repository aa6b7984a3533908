#pragma once
// The copy count written in a job file's name: the third "_"-separated field, read as a number.

#include <cstdint>
#include <string>
#include <string_view>

namespace agent {

// The number at the start of a text, after dropping every blank, tab and line feed: decimal with
// an optional sign, fraction and exponent (E or D), or a non-negative hexadecimal (&H…) or octal
// (&O…) integer. Reading stops at the first character that cannot continue the number; nothing
// readable gives 0. A decimal too large for a double gives an infinity.
double valeur_numerique(std::string_view texte);

// The name is split on every "_", extension included, so in "A_B_3.bmp2" the third field is
// "3.bmp2" and the count is 3. Fewer than three fields: indice_hors_limites; a count outside
// the 16-bit range: depassement_capacite.
int16_t nombre_copies(const std::string& nom_fichier);

}  // namespace agent
