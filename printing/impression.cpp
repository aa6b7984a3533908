#include "printing/impression.h"

#include "core/casse_unicode.h"
#include "printing/garde_trame.h"

namespace agent {

std::string normalise_nom_imprimante(const std::string& nom) {
  const size_t debut = nom.find_first_not_of(' ');
  if (debut == std::string::npos) return {};
  const size_t fin = nom.find_last_not_of(' ');
  return majuscules(std::string_view(nom).substr(debut, fin - debut + 1));
}

void choisit_imprimante(service_imprimante& imprimante, const std::string& nom_cible) {
  const std::string cible = normalise_nom_imprimante(nom_cible);
  for (const auto& installee : imprimante.imprimantes_installees()) {
    for (const auto& nom : noms_peripherique(installee)) {
      if (normalise_nom_imprimante(nom) == cible) {
        imprimante.rend_courante(installee);
        return;
      }
    }
  }
}

namespace {

enum class sorte_impression { travail, essai };

void imprime(poste_impression& poste, const std::string& nom_cible, const int16_t& copies, sorte_impression sorte) {
  choisit_imprimante(poste.imprimante, nom_cible);
  poste.imprimante.nomme_document(sorte == sorte_impression::essai ? nom_document_essai : poste.apercu.nom());
  poste.imprimante.fixe_copies(copies);
  poste.dialogue.fixe_propriete(propriete_dialogue_impression, valeur_dialogue_impression);
  poste.imprimante.fixe_mode_echelle(mode_echelle_pixels);
  {
    garde_trame garde(poste.dans_la_trame);
    trame_points(poste.apercu, poste.imprimante, poste.fenetre);
  }
  if (sorte == sorte_impression::travail) poste.fenetre.efface_apercu();
  poste.imprimante.termine_document();
  if (sorte == sorte_impression::essai) poste.fenetre.affiche_message(message_impression_terminee);
}

}  // namespace

void imprime_travail(poste_impression& poste, const std::string& nom_cible, const int16_t& qte) {
  imprime(poste, nom_cible, qte, sorte_impression::travail);
}

void imprime_essai(poste_impression& poste) {
  const int16_t une_copie = 1;
  imprime(poste, nom_imprimante_essai, une_copie, sorte_impression::essai);
}

}  // namespace agent
