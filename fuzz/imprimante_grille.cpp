#include "fuzz/imprimante_grille.h"

#include <cstdlib>

#include "core/arithmetique.h"

namespace agent::fuzz {

void imprimante_grille::dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) {
  const auto indice = indice_couleur(static_cast<uint32_t>(couleur));
  if (drapeau != drapeau_point_absolu || !indice) std::abort();
  // Raster coordinates are 32-bit integers passed as floats; beyond the page the paper ends.
  const double colonne = arrondi_pair(x), ligne = arrondi_pair(y);
  if (colonne < 0 || ligne < 0 || colonne >= grille_.largeur() || ligne >= grille_.hauteur()) return;
  grille_.pose(static_cast<int32_t>(colonne), static_cast<int32_t>(ligne), *indice);
}

}  // namespace agent::fuzz
