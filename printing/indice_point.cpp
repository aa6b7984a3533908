#include "printing/indice_point.h"

#include <string>

#include "core/erreur.h"
#include "printing/couleurs.h"
#include "printing/service_imprimante.h"

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

}  // namespace agent
