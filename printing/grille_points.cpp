#include "printing/grille_points.h"

#include <algorithm>

#include "core/arithmetique.h"
#include "core/erreur.h"

namespace agent {

grille_points::grille_points(int32_t largeur, int32_t hauteur)
    : largeur_(std::max(largeur, 0)), hauteur_(std::max(hauteur, 0)) {
  // Not a vector: the system hands over zeroed pages lazily, so parts of the page that never get a
  // dot never enter the resident memory.
  const size_t taille = static_cast<size_t>(largeur_) * static_cast<size_t>(hauteur_);
  pixels_ = std::unique_ptr<uint8_t, liberation>(static_cast<uint8_t*>(reserve_grande(taille)), liberation{taille});
}

void grille_points::pose_arrondi(double x, double y, uint8_t indice) {
  const double colonne = arrondi_pair(x), ligne = arrondi_pair(y);
  if (!(colonne >= 0 && colonne < largeur_ && ligne >= 0 && ligne < hauteur_)) return;
  pose_dedans(static_cast<int32_t>(colonne), static_cast<int32_t>(ligne), indice);
}

}  // namespace agent
