#include "printing/grille_points.h"

#include <algorithm>
#include <cstring>

#include "core/arithmetique.h"
#include "core/erreur.h"

namespace agent {

grille_points::grille_points(int32_t largeur, int32_t hauteur)
    : largeur_(std::max(largeur, 0)),
      hauteur_(std::max(hauteur, 0)),
      octets_par_ligne_((static_cast<size_t>(largeur_) + 1) / 2) {
  // Not a vector: the system hands over zeroed pages lazily, so parts of the page that never get a
  // dot never enter the resident memory.
  const size_t taille = octets_par_ligne_ * static_cast<size_t>(hauteur_);
  pixels_ = std::unique_ptr<uint8_t, liberation>(static_cast<uint8_t*>(reserve_grande(taille)), liberation{taille});
}

std::span<const uint8_t> grille_points::ligne(int32_t y) const {
  const auto largeur = static_cast<size_t>(largeur_);
  ligne_.resize(largeur + sizeof(uint64_t));
  const std::span<const uint8_t> source = paires(y);
  for (size_t x = 0; x < largeur; ++x) ligne_[x] = static_cast<uint8_t>(source[x / 2] >> (x & 1 ? 0 : 4) & 0xF);
  return {ligne_.data(), largeur};
}

void grille_points::efface() {
  if (vide()) return;
  const size_t debut = static_cast<size_t>(cadre_.x0) / 2, fin = (static_cast<size_t>(cadre_.x1) + 1) / 2;
  for (int32_t y = cadre_.y0; y < cadre_.y1; ++y) std::memset(pixels_.get() + position(0, y) + debut, 0, fin - debut);
  cadre_ = {INT32_MAX, INT32_MAX, 0, 0};
}

void grille_points::pose_arrondi(double x, double y, uint8_t indice) {
  const double colonne = arrondi_pair(x), ligne = arrondi_pair(y);
  if (!(colonne >= 0 && colonne < largeur_ && ligne >= 0 && ligne < hauteur_)) return;
  pose_dedans(static_cast<int32_t>(colonne), static_cast<int32_t>(ligne), indice);
}

}  // namespace agent
