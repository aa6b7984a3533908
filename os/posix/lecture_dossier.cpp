#include "intake/lecture_dossier.h"

#include <filesystem>

#include "core/chemin_utf8.h"
#include "core/erreurs_fichiers.h"

namespace agent {

namespace fs = std::filesystem;

namespace {

bool fichier_ordinaire(const fs::directory_entry& entree) {
  std::error_code ec;
  bool ordinaire = entree.is_regular_file(ec);  // follows a symbolic link
  // A link to nothing, or a file removed while the folder is read, is simply not a job.
  if (ec && ec != std::errc::no_such_file_or_directory) throw erreur_fichier(ec, texte_utf8(entree.path()));
  return ordinaire;
}

}  // namespace

std::vector<std::string> fichiers_dossier(const std::string& dossier, bool (*retenu)(std::string_view nom)) {
  std::vector<std::string> noms;
  std::error_code ec;
  for (fs::directory_iterator it(chemin_utf8(dossier), ec), fin; !ec && it != fin; it.increment(ec)) {
    std::string nom = texte_utf8(it->path().filename());
    if (!retenu(nom) || !fichier_ordinaire(*it)) continue;
    noms.push_back(std::move(nom));
  }
  if (ec) throw erreur_dossier(ec, dossier);
  return noms;
}

}  // namespace agent
