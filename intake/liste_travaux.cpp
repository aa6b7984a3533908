#include "intake/liste_travaux.h"

#include <QFile>
#include <QString>
#include <algorithm>
#include <filesystem>
#include <string_view>

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
  if (ec && ec != std::errc::no_such_file_or_directory) throw erreur_fichier(ec, entree.path().string());
  return ordinaire;
}

struct travail {
  QString cle;  // the name as text, for comparing without regard to case
  std::string nom;
};

}  // namespace

std::vector<std::string> liste_travaux(const std::string& dossier) {
  std::vector<travail> travaux;
  std::error_code ec;
  for (fs::directory_iterator it(dossier, ec), fin; !ec && it != fin; it.increment(ec)) {
    std::string nom = it->path().filename().string();
    if (!nom_de_travail(nom) || !fichier_ordinaire(*it)) continue;
    QString cle = QFile::decodeName(QByteArray(nom.data(), static_cast<qsizetype>(nom.size())));
    travaux.push_back({std::move(cle), std::move(nom)});
  }
  if (ec) throw erreur_dossier(ec, dossier);

  std::sort(travaux.begin(), travaux.end(), [](const travail& a, const travail& b) {
    int ordre = QString::compare(a.cle, b.cle, Qt::CaseInsensitive);
    return ordre != 0 ? ordre < 0 : a.nom < b.nom;
  });
  if (travaux.size() > travaux_par_releve) travaux.resize(travaux_par_releve);

  std::vector<std::string> noms;
  noms.reserve(travaux.size());
  for (travail& t : travaux) noms.push_back(std::move(t.nom));
  return noms;
}

}  // namespace agent
