#include "printing/grille_points.h"

#include <algorithm>

#include "core/arithmetique.h"
#include "core/erreur.h"

namespace agent {

grille_points::grille_points(int32_t largeur, int32_t hauteur)
    : largeur_(std::max(largeur, 0)), hauteur_(std::max(hauteur, 0)) {
  // calloc, not a vector: the system hands over zeroed pages lazily, so rows that never get a
  // dot never enter the resident memory.
  const size_t taille = static_cast<size_t>(largeur_) * static_cast<size_t>(hauteur_);
  pixels_.reset(static_cast<uint8_t*>(std::calloc(std::max<size_t>(taille, 1), 1)));
  if (!pixels_) throw erreur(code_erreur::memoire_insuffisante);
}

void grille_points::pose(int32_t x, int32_t y, uint8_t indice) {
  if (x < 0 || y < 0 || x >= largeur_ || y >= hauteur_) return;
  pixels_.get()[position(x, y)] = indice;
  if (vide()) {
    cadre_ = {x, y, x + 1, y + 1};
    return;
  }
  cadre_.x0 = std::min(cadre_.x0, x);
  cadre_.y0 = std::min(cadre_.y0, y);
  cadre_.x1 = std::max(cadre_.x1, x + 1);
  cadre_.y1 = std::max(cadre_.y1, y + 1);
}

void grille_points::pose_point(float x, float y, uint8_t indice) {
  const double colonne = arrondi_pair(x), ligne = arrondi_pair(y);
  if (!(colonne >= 0 && colonne < largeur_ && ligne >= 0 && ligne < hauteur_)) return;
  pose(static_cast<int32_t>(colonne), static_cast<int32_t>(ligne), indice);
}

}  // namespace agent
