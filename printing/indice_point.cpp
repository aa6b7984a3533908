#include "printing/indice_point.h"

#include <string>

#include "core/erreur.h"

namespace agent {

void refuse_point(int16_t drapeau, int32_t couleur) {
  if (drapeau != drapeau_point_absolu)
    throw erreur(code_erreur::valeur_propriete_incorrecte, "mode de tracé " + std::to_string(drapeau));
  throw erreur(code_erreur::valeur_propriete_incorrecte,
               "couleur de point " + std::to_string(couleur) + " hors des sept couleurs imprimables");
}

}  // namespace agent
