#include "bench/imprimante_grille.h"

#include "printing/indice_point.h"

namespace agent {

grille_points& imprimante_grille::ouverte() {
  if (!ouverte_) ouverte_.emplace(page_.width(), page_.height());
  return *ouverte_;
}

void imprimante_grille::dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) {
  const uint8_t indice = indice_point(drapeau, couleur);
  ouverte().pose_point(x, y, indice);
}

void imprimante_grille::dessine_plages(int16_t drapeau, std::span<const plage_points> plages) {
  pose_plages(drapeau, plages, [this]() -> grille_points& { return ouverte(); });
}

void imprimante_grille::termine_document() {
  derniere_ = std::move(ouverte_);
  ouverte_.reset();
}

}  // namespace agent
