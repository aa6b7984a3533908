#include "intake/releve_stabilite.h"

#include "core/chemin_utf8.h"
#include "core/erreurs_fichiers.h"

namespace agent {

std::optional<etat_fichier> etat_de(const std::string& chemin) {
  std::error_code ec;
  etat_fichier etat;
  const std::filesystem::path fichier = chemin_utf8(chemin);
  etat.taille = std::filesystem::file_size(fichier, ec);
  if (!ec) etat.modification = std::filesystem::last_write_time(fichier, ec);
  if (ec == std::errc::no_such_file_or_directory) return std::nullopt;
  if (ec) throw erreur_fichier(ec, chemin);
  return etat;
}

}  // namespace agent
