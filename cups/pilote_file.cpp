#include "cups/pilote_file.h"

#include <algorithm>
#include <array>

namespace agent {

namespace {

// The words of a quoted PPD value, up to as many as `mots` holds; how many there were.
size_t decoupe(std::string_view valeur, std::array<std::string_view, 4>& mots) {
  const size_t ouvre = valeur.find('"'), ferme = valeur.rfind('"');
  if (ouvre == std::string_view::npos || ferme <= ouvre) return 0;
  valeur = valeur.substr(ouvre + 1, ferme - ouvre - 1);
  size_t n = 0;
  for (size_t i = 0; i < valeur.size() && n < mots.size();) {
    const size_t fin = std::min(valeur.find(' ', i), valeur.size());
    if (fin > i) mots[n++] = valeur.substr(i, fin - i);
    i = fin + 1;
  }
  return n;
}

}  // namespace

pilote_file lit_pilote(std::string_view ppd) {
  constexpr std::string_view filtre = "*cupsFilter2:", copies = "*cupsManualCopies:";
  pilote_file pilote;
  for (size_t debut = 0; debut < ppd.size();) {
    const size_t fin = std::min(ppd.find('\n', debut), ppd.size());
    std::string_view ligne = ppd.substr(debut, fin - debut);
    debut = fin + 1;
    if (ligne.ends_with('\r')) ligne.remove_suffix(1);
    if (ligne.starts_with(filtre)) {
      std::array<std::string_view, 4> mots;
      if (decoupe(ligne.substr(filtre.size()), mots) == 4 && mots[0] == "image/pwg-raster" &&
          mots[1] == "image/pwg-raster" && mots[3] == "-")
        pilote.transmet_pwg = true;
    } else if (ligne.starts_with(copies)) {
      std::string_view valeur = ligne.substr(copies.size());
      valeur.remove_prefix(std::min(valeur.find_first_not_of(" \t"), valeur.size()));
      pilote.copies_en_pages = valeur.starts_with("True");
    }
  }
  return pilote;
}

}  // namespace agent
