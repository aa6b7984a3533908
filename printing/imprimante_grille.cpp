#include "printing/imprimante_grille.h"

#include <string>

#include "core/erreur.h"
#include "printing/couleurs.h"

namespace agent {

uint8_t indice_point(int16_t drapeau, int32_t couleur) {
  if (drapeau != drapeau_point_absolu)
    throw erreur(code_erreur::valeur_propriete_incorrecte, "mode de tracé " + std::to_string(drapeau));
  const auto indice = indice_couleur(static_cast<uint32_t>(couleur));
  if (!indice) {
    throw erreur(code_erreur::valeur_propriete_incorrecte,
                 "couleur de point " + std::to_string(couleur) + " hors des sept couleurs imprimables");
  }
  return *indice;
}

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
