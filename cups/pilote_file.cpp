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
  constexpr std::string_view filtre = "*cupsFilter2:", ancien_filtre = "*cupsFilter:", copies = "*cupsManualCopies:";
  constexpr std::string_view raster_cups = "application/vnd.cups-raster";
  pilote_file pilote;
  bool filtres2 = false, raster_par_filtre2 = false, raster_par_filtre = false;
  for (size_t debut = 0; debut < ppd.size();) {
    const size_t fin = std::min(ppd.find('\n', debut), ppd.size());
    std::string_view ligne = ppd.substr(debut, fin - debut);
    debut = fin + 1;
    if (ligne.ends_with('\r')) ligne.remove_suffix(1);
    if (ligne.starts_with(filtre)) {
      std::array<std::string_view, 4> mots;
      const size_t n = decoupe(ligne.substr(filtre.size()), mots);
      filtres2 = true;
      if (n == 4 && mots[0] == "image/pwg-raster" && mots[1] == "image/pwg-raster" && mots[3] == "-")
        pilote.transmet_pwg = true;
      raster_par_filtre2 = raster_par_filtre2 || (n == 4 && mots[0] == raster_cups);
    } else if (ligne.starts_with(ancien_filtre)) {
      std::array<std::string_view, 4> mots;
      raster_par_filtre =
          raster_par_filtre || (decoupe(ligne.substr(ancien_filtre.size()), mots) == 3 && mots[0] == raster_cups);
    } else if (ligne.starts_with(copies)) {
      std::string_view valeur = ligne.substr(copies.size());
      valeur.remove_prefix(std::min(valeur.find_first_not_of(" \t"), valeur.size()));
      pilote.copies_en_pages = valeur.starts_with("True");
    }
  }
  // The scheduler ignores the old lines of a PPD that has new ones.
  pilote.prend_raster_cups = filtres2 ? raster_par_filtre2 : raster_par_filtre;
  return pilote;
}

}  // namespace agent
