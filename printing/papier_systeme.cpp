#include "printing/papier_systeme.h"

#include <paper.h>

#include <QSizeF>

#include <cstdlib>
#include <memory>
#include <string>

#include "core/erreur.h"

namespace agent {

QPageSize papier_systeme() {
  paperinit();
  std::unique_ptr<char, decltype(&std::free)> choisi(systempapername(), &std::free);
  const std::string nom = choisi ? choisi.get() : defaultpapername();
  const struct paper* papier = paperinfo(nom.c_str());
  QPageSize taille;
  if (papier) {
    taille = QPageSize(QSizeF(paperpswidth(papier), paperpsheight(papier)), QPageSize::Point, QString(),
                       QPageSize::FuzzyMatch);
  }
  paperdone();
  if (!taille.isValid())
    throw erreur(code_erreur::erreur_imprimante, "format de papier par défaut inconnu : " + nom);
  return taille;
}

}  // namespace agent
