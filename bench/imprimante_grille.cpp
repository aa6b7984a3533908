#include "bench/imprimante_grille.h"

#include "printing/indice_point.h"

namespace agent {

void imprimante_grille::dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) {
  const uint8_t indice = indice_point(drapeau, couleur);
  if (!ouverte_) ouverte_.emplace(page_.width(), page_.height());
  ouverte_->pose_point(x, y, indice);
}

void imprimante_grille::termine_document() {
  derniere_ = std::move(ouverte_);
  ouverte_.reset();
}

}  // namespace agent
