#include "fuzz/imprimante_grille.h"

#include <cstdlib>


namespace agent::fuzz {

void imprimante_grille::dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) {
  const auto indice = indice_couleur(static_cast<uint32_t>(couleur));
  if (drapeau != drapeau_point_absolu || !indice) std::abort();
  grille_.pose_point(x, y, *indice);
}

}  // namespace agent::fuzz
