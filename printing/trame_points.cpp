#include "printing/trame_points.h"

#include <bit>
#include <climits>
#include <cstring>
#include <vector>

#include "core/arithmetique.h"
#include "printing/couleurs.h"
#include "printing/texte_progression.h"

namespace agent {

namespace {

// est_imprimable without a branch: seven comparisons the compiler runs on several pixels at once.
constexpr uint8_t marque_imprimable(uint32_t c) {
  uint8_t oui = 0;
  for (const uint32_t imprimable : couleurs_imprimables) oui |= static_cast<uint8_t>(c == imprimable);
  return oui;
}

static_assert(marque_imprimable(noir) == 1 && marque_imprimable(rouge_254) == 1 && marque_imprimable(0x00FE00) == 0);

}  // namespace

void trame_points(const surface_lecture& surface, service_imprimante& imprimante, suivi_trame& suivi) {
  const int32_t hauteur = arrondi_entier32(surface.hauteur_echelle());
  std::vector<uint32_t> pixels;
  // One byte a pixel, 1 where it prints, padded to whole words of eight: a row is marked in one
  // pass, then walked eight pixels at a time, so that blank stretches cost a test per eight pixels
  // and scattered dots no mispredicted branch per pixel.
  std::vector<uint8_t> marques;
  std::vector<point_page> points;

  for (int32_t y = 0; y <= hauteur; ++y) {
    const int32_t largeur = arrondi_entier32(surface.largeur_echelle());
    if (largeur >= 0) {
      const auto colonnes = static_cast<size_t>(somme_verifiee(largeur, 1));
      pixels.resize(colonnes);
      surface.lit_ligne(y, pixels);
      marques.assign((colonnes + 7) / 8 * 8, 0);
      for (size_t x = 0; x < colonnes; ++x) marques[x] = marque_imprimable(pixels[x]);
      // Where no coordinate of the row can overflow, its dots go to the printer in one call;
      // near the 32-bit limit each is computed, checked and drawn in turn, as the error must
      // come after the dots before it.
      const bool sans_depassement = y <= INT32_MAX - marge_verticale && largeur <= INT32_MAX - marge_horizontale;
      points.clear();
      for (size_t groupe = 0; groupe < colonnes; groupe += 8) {
        uint64_t huit;
        std::memcpy(&huit, marques.data() + groupe, sizeof huit);
        while (huit != 0) {
          const auto x = static_cast<int32_t>(groupe + static_cast<size_t>(std::countr_zero(huit)) / 8);
          huit &= huit - 1;
          const uint32_t c = pixels[static_cast<size_t>(x)];
          const int32_t couleur = static_cast<int32_t>(c);
          if (sans_depassement) {
            const auto ligne_page = static_cast<float>(y + marge_verticale);
            points.push_back({static_cast<float>(x + marge_horizontale), ligne_page, couleur});
            if (c == noir) points.push_back({static_cast<float>(x + decalage_compagnon_noir), ligne_page, couleur});
            continue;
          }
          const float ligne_page = static_cast<float>(somme_verifiee(y, marge_verticale));
          imprimante.dessine_point(drapeau_point_absolu, static_cast<float>(somme_verifiee(x, marge_horizontale)),
                                   ligne_page, couleur);
          if (c == noir) {
            imprimante.dessine_point(drapeau_point_absolu,
                                     static_cast<float>(somme_verifiee(x, decalage_compagnon_noir)), ligne_page,
                                     couleur);
          }
        }
      }
      if (!points.empty()) imprimante.dessine_points(drapeau_point_absolu, points);
    }
    suivi.laisse_evenements();
    suivi.fixe_titre(texte_progression(y, surface.hauteur_echelle()));
    if (y == hauteur) break;  // the last row may be INT32_MAX: stop before incrementing past it
  }
}

}  // namespace agent
