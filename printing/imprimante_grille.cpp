#include "printing/imprimante_grille.h"

#include <string>

#include "core/erreur.h"

namespace agent {

void refuse_point(int16_t drapeau, int32_t couleur) {
  if (drapeau != drapeau_point_absolu)
    throw erreur(code_erreur::valeur_propriete_incorrecte, "mode de tracé " + std::to_string(drapeau));
  throw erreur(code_erreur::valeur_propriete_incorrecte,
               "couleur de point " + std::to_string(couleur) + " hors des sept couleurs imprimables");
}

grille_points& imprimante_grille::ouverte() {
  if (!ouverte_) ouverte_.emplace(page_.width(), page_.height());
  return *ouverte_;
}

void imprimante_grille::dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) {
  const uint8_t indice = indice_point(drapeau, couleur);
  ouverte().pose_point(x, y, indice);
}

void imprimante_grille::dessine_points(int16_t drapeau, std::span<const point_page> points) {
  pose_points(drapeau, points, [this]() -> grille_points& { return ouverte(); });
}

void imprimante_grille::termine_document() {
  derniere_ = std::move(ouverte_);
  ouverte_.reset();
}

}  // namespace agent
