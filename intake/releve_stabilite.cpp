#include "intake/releve_stabilite.h"

#include "core/erreurs_fichiers.h"

namespace agent {

std::optional<etat_fichier> etat_de(const std::string& chemin) {
  std::error_code ec;
  etat_fichier etat;
  etat.taille = std::filesystem::file_size(chemin, ec);
  if (!ec) etat.modification = std::filesystem::last_write_time(chemin, ec);
  if (ec == std::errc::no_such_file_or_directory) return std::nullopt;
  if (ec) throw erreur_fichier(ec, chemin);
  return etat;
}

}  // namespace agent
