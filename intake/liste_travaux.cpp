#include "intake/liste_travaux.h"

#include <algorithm>
#include <string_view>

#include "core/casse_unicode.h"
#include "intake/lecture_dossier.h"

namespace agent {

namespace {

bool nom_de_travail(std::string_view nom) {
  constexpr std::string_view extension = ".bmp2";
  if (nom.empty() || nom.front() == '.' || nom.size() < extension.size()) return false;
  return std::equal(extension.begin(), extension.end(), nom.end() - extension.size(),
                    [](char e, char c) { return e == (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
}

}  // namespace

std::vector<std::string> liste_travaux(const std::string& dossier) {
  std::vector<std::string> travaux = fichiers_dossier(dossier, nom_de_travail);

  // Names are UTF-8, as the file systems of a share give them.
  std::sort(travaux.begin(), travaux.end(), [](const std::string& a, const std::string& b) {
    const int ordre = compare_sans_casse(a, b);
    return ordre != 0 ? ordre < 0 : a < b;
  });
  if (travaux.size() > travaux_par_releve) travaux.resize(travaux_par_releve);
  return travaux;
}

}  // namespace agent
