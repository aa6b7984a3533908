#include "intake/liste_travaux.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

#include "core/casse_unicode.h"
#include "core/chemin_utf8.h"
#include "core/erreurs_fichiers.h"

namespace agent {

namespace fs = std::filesystem;

namespace {

bool nom_de_travail(std::string_view nom) {
  constexpr std::string_view extension = ".bmp2";
  if (nom.empty() || nom.front() == '.' || nom.size() < extension.size()) return false;
  return std::equal(extension.begin(), extension.end(), nom.end() - extension.size(),
                    [](char e, char c) { return e == (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
}

bool fichier_ordinaire(const fs::directory_entry& entree) {
  std::error_code ec;
  bool ordinaire = entree.is_regular_file(ec);  // follows a symbolic link
  // A link to nothing, or a file removed while the folder is read, is simply not a job.
  if (ec && ec != std::errc::no_such_file_or_directory) throw erreur_fichier(ec, texte_utf8(entree.path()));
  return ordinaire;
}

}  // namespace

std::vector<std::string> liste_travaux(const std::string& dossier) {
  std::vector<std::string> travaux;
  std::error_code ec;
  for (fs::directory_iterator it(chemin_utf8(dossier), ec), fin; !ec && it != fin; it.increment(ec)) {
    std::string nom = texte_utf8(it->path().filename());
    if (!nom_de_travail(nom) || !fichier_ordinaire(*it)) continue;
    travaux.push_back(std::move(nom));
  }
  if (ec) throw erreur_dossier(ec, dossier);

  // Names are UTF-8, as the file systems of a share give them.
  std::sort(travaux.begin(), travaux.end(), [](const std::string& a, const std::string& b) {
    const int ordre = compare_sans_casse(a, b);
    return ordre != 0 ? ordre < 0 : a < b;
  });
  if (travaux.size() > travaux_par_releve) travaux.resize(travaux_par_releve);
  return travaux;
}

}  // namespace agent
