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

// Lays `points` on `grille` in their order, as that many dessine_point calls would; `grille`
// opens the page at the first dot, once that dot is known to be valid.
template <typename ouverture>
void pose_points(int16_t drapeau, std::span<const point_page> points, ouverture&& grille) {
  if (points.empty()) return;
  indice_point(drapeau, points.front().couleur);
  // The flag is the same for the whole run: checked once, above.
  grille().pose_points(points, indice_sans_saut, [drapeau](int32_t couleur) { refuse_point(drapeau, couleur); });
}

}  // namespace agent
