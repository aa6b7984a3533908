#include "core/erreur.h"

namespace agent {

const char* texte_erreur(code_erreur code) {
  switch (code) {
    case code_erreur::depassement_capacite: return "Dépassement de capacité";
    case code_erreur::memoire_insuffisante: return "Mémoire insuffisante";
    case code_erreur::indice_hors_limites: return "L'indice n'appartient pas à la sélection";
    case code_erreur::fichier_introuvable: return "Fichier introuvable";
    case code_erreur::permission_refusee: return "Permission refusée";
    case code_erreur::acces_fichier: return "Erreur d'accès au chemin ou au fichier";
    case code_erreur::chemin_introuvable: return "Chemin d'accès introuvable";
    case code_erreur::valeur_propriete_incorrecte: return "Valeur de propriété incorrecte";
    case code_erreur::image_incorrecte: return "Image incorrecte";
    case code_erreur::erreur_imprimante: return "Erreur d'imprimante";
    case code_erreur::imprimante_introuvable: return "Imprimante introuvable";
  }
  return "Erreur inconnue";
}

static std::string compose(code_erreur code, const std::string& detail) {
  std::string texte = texte_erreur(code);
  if (!detail.empty()) texte += " : " + detail;
  return texte;
}

erreur::erreur(code_erreur code, const std::string& detail)
    : std::runtime_error(compose(code, detail)), numero_(static_cast<int32_t>(code)) {}

}  // namespace agent
