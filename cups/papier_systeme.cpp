#include "cups/papier_systeme.h"

#include <cups/cups.h>
#include <paper.h>

#include <cstdlib>
#include <memory>

#include "core/erreur.h"

namespace agent {

std::string papier_systeme() {
  paperinit();
  std::unique_ptr<char, decltype(&std::free)> choisi(systempapername(), &std::free);
  const std::string nom = choisi ? choisi.get() : defaultpapername();
  const struct paper* papier = paperinfo(nom.c_str());
  // libpaper gives whole points (A4 is 595 × 842); the standard medium nearest to that is the
  // paper meant.
  const pwg_media_t* support =
      papier ? pwgMediaForSize(PWG_FROM_POINTS(paperpswidth(papier)), PWG_FROM_POINTS(paperpsheight(papier))) : nullptr;
  paperdone();
  if (!support) throw erreur(code_erreur::erreur_imprimante, "format de papier par défaut inconnu : " + nom);
  return support->pwg;
}

}  // namespace agent
