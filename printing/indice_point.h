#pragma once
// The grid byte of a dot as a printer receives it, for the printers that lay dots on a page grid.

#include <cstdint>
#include <span>

#include "printing/couleurs.h"
#include "printing/grille_points.h"
#include "printing/service_imprimante.h"

namespace agent {

// "Valeur de propriété incorrecte" for a dot the raster never sends: another flag than 2, or a
// colour outside the seven.
[[noreturn]] void refuse_point(int16_t drapeau, int32_t couleur);

// Flag 2 and one of the seven colours are all the raster ever sends; anything else is refused.
// Inline: once per dot.
inline uint8_t indice_point(int16_t drapeau, int32_t couleur) {
  const uint8_t indice = indice_sans_saut(couleur);
  if (drapeau != drapeau_point_absolu || indice == 0) refuse_point(drapeau, couleur);
  return indice;
}

// Lays `plages` on `grille` in their order, as that many dessine_point calls would; `grille`
// opens the page at the first dot, once that dot is known to be valid. The dots laid.
template <typename ouverture>
int64_t pose_plages(int16_t drapeau, std::span<const plage_points> plages, ouverture&& grille) {
  if (plages.empty()) return 0;
  indice_point(drapeau, plages.front().couleur);
  // The flag is the same for every run: checked once, above.
  return grille().pose_plages(plages, indice_sans_saut, [drapeau](int32_t couleur) { refuse_point(drapeau, couleur); });
}

}  // namespace agent
