#include "intake/supprime_travail.h"

#include <filesystem>

#include "core/chemin_utf8.h"
#include "core/erreur.h"
#include "core/erreurs_fichiers.h"

namespace agent {

namespace fs = std::filesystem;

bool supprime_travail(const std::string& chemin) {
  std::error_code ec;
  const fs::path fichier = chemin_utf8(chemin);
  fs::file_status etat = fs::symlink_status(fichier, ec);
  if (ec) throw erreur_fichier(ec, chemin);
  // fs::remove would also take an empty folder standing where the job was; only files go.
  if (fs::is_directory(etat)) throw erreur(code_erreur::acces_fichier, chemin + " : c'est un dossier");
  bool supprime = fs::remove(fichier, ec);
  if (ec && est_en_usage(ec)) return false;
  if (ec) throw erreur_fichier(ec, chemin);
  if (!supprime) throw erreur(code_erreur::fichier_introuvable, chemin);
  return true;
}

}  // namespace agent
