#include "gdi/bandes_dib.h"

#include <algorithm>

#include "printing/couleurs.h"

namespace agent {

namespace {

// Whether row y of the grid holds a dot between columns x0 and x1 (x1 excluded).
bool ligne_marquee(const grille_points& grille, int32_t y, int32_t x0, int32_t x1) {
  const std::span<const uint8_t> paires = grille.paires(y);
  const auto debut = paires.begin() + x0 / 2, fin = paires.begin() + (x1 + 1) / 2;
  return std::any_of(debut, fin, [](uint8_t paire) { return paire != 0; });
}

}  // namespace

std::vector<bande_dib> bandes_dib(const grille_points& grille, int32_t lignes_max) {
  std::vector<bande_dib> bandes;
  if (grille.vide()) return bandes;
  const cadre_points& cadre = grille.cadre();
  lignes_max = std::max(lignes_max, 1);
  int32_t debut = -1;
  const auto ferme = [&](int32_t fin) {
    if (debut >= 0) bandes.push_back({cadre.x0, debut, cadre.x1, fin});
    debut = -1;
  };
  for (int32_t y = cadre.y0; y < cadre.y1; ++y) {
    if (!ligne_marquee(grille, y, cadre.x0, cadre.x1)) {
      ferme(y);
      continue;
    }
    if (debut >= 0 && y - debut == lignes_max) ferme(y);
    if (debut < 0) debut = y;
  }
  ferme(cadre.y1);
  return bandes;
}

void remplit_bande(const grille_points& grille, const bande_dib& bande, std::span<uint8_t> pixels) {
  const size_t pas = octets_ligne_dib(bande.largeur());
  for (int32_t y = bande.y0; y < bande.y1; ++y) {
    uint8_t* sortie = pixels.data() + static_cast<size_t>(bande.y1 - 1 - y) * pas;
    const std::span<const uint8_t> paires = grille.paires(y);
    for (int32_t x = bande.x0; x < bande.x1; ++x) {
      const canaux c = canaux_indice(static_cast<uint8_t>(paires[static_cast<size_t>(x) / 2] >> (x & 1 ? 0 : 4) & 0xF));
      *sortie++ = c.bleu;
      *sortie++ = c.vert;
      *sortie++ = c.rouge;
    }
  }
}

}  // namespace agent
