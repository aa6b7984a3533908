#include "printing/trame_points.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include "core/arithmetique.h"
#include "printing/couleurs.h"
#include "printing/marques_ligne.h"
#include "printing/texte_progression.h"

namespace agent {

namespace {

// What lies either side of a row: no colour, so that runs end there.
constexpr uint32_t hors_ligne = 0xFFFFFFFF;

static_assert(!est_imprimable(hors_ligne));

// `f(x)` for each x below `colonnes` whose byte in `marques` (padded to whole words) is 1, in
// order, eight bytes at a time: a stretch of zeros costs a test per eight.
template <typename action>
void pour_chaque_marque(const std::vector<uint8_t>& marques, size_t colonnes, action&& f) {
  for (size_t groupe = 0; groupe < colonnes; groupe += 8) {
    uint64_t huit;
    std::memcpy(&huit, marques.data() + groupe, sizeof huit);
    while (huit != 0) {
      f(groupe + static_cast<size_t>(std::countr_zero(huit)) / 8);
      huit &= huit - 1;
    }
  }
}

}  // namespace

void trame_points(const surface_lecture& surface, service_imprimante& imprimante, suivi_trame& suivi) {
  static_assert(decalage_compagnon_noir == marge_horizontale - 1, "a black pixel's second dot is its run's companion");
  const int32_t hauteur = arrondi_entier32(surface.hauteur_echelle());
  // The row between two pixels that print nothing, and more of them up to whole blocks, so that
  // its first and last pixels have neighbours like the others.
  std::vector<uint32_t> pixels;
  // One byte a pixel up to whole blocks: 1 where a run of one printable colour starts, and where
  // one ends (marque_ligne). Each then walked eight pixels at a time, so that blank stretches and
  // the inside of runs cost a test per eight pixels, and scattered dots no mispredicted branch each.
  std::vector<uint8_t> debuts, fins;
  // The row's runs, at most one a pixel, left uninitialised until written: a vector sized for a
  // row would clear a row's worth of runs first.
  std::unique_ptr<plage_points[]> plages;
  size_t capacite = 0;

  for (int32_t y = 0; y <= hauteur; ++y) {
    const int32_t largeur = arrondi_entier32(surface.largeur_echelle());
    if (largeur >= 0) {
      const auto colonnes = static_cast<size_t>(somme_verifiee(largeur, 1));
      const size_t blocs = colonnes_en_blocs(colonnes);
      pixels.resize(blocs + 2);
      pixels.front() = hors_ligne;
      std::fill(pixels.begin() + static_cast<std::ptrdiff_t>(colonnes) + 1, pixels.end(), hors_ligne);
      surface.lit_ligne(y, std::span(pixels).subspan(1, colonnes));
      debuts.resize(blocs);
      fins.resize(blocs);
      const uint32_t* p = pixels.data() + 1;
      marque_ligne(p, colonnes, debuts.data(), fins.data());
      // Where no coordinate of the row can overflow, its runs go to the printer in one call, in
      // device pixels; near the 32-bit limit they stay in the picture's, and each dot is computed,
      // checked and drawn in turn, as the error must come after the dots before it.
      const bool sans_depassement = y <= INT32_MAX - marge_verticale && largeur <= INT32_MAX - marge_horizontale;
      const int32_t decalage_x = sans_depassement ? marge_horizontale : 0;
      const int32_t ligne = sans_depassement ? y + marge_verticale : y;
      if (capacite < colonnes) {
        plages = std::make_unique_for_overwrite<plage_points[]>(colonnes);
        capacite = colonnes;
      }
      plage_points* plage = plages.get();
      pour_chaque_marque(debuts, colonnes, [&](size_t x) {
        const uint32_t c = p[x];
        *plage++ = {static_cast<int32_t>(x) + decalage_x, ligne, 0, static_cast<int32_t>(c), c == noir};
      });
      const std::span<plage_points> rangee(plages.get(), plage);
      // Each run's k-th end closes its k-th start.
      plage = plages.get();
      pour_chaque_marque(fins, colonnes, [&](size_t x) {
        plage->nombre = static_cast<int32_t>(x) + decalage_x - plage->x + 1;
        ++plage;
      });
      if (sans_depassement) {
        if (!rangee.empty()) imprimante.dessine_plages(drapeau_point_absolu, rangee);
      } else {
        for (const plage_points& run : rangee) {
          for (int32_t x = run.x; x < run.x + run.nombre; ++x) {
            const float ligne_page = static_cast<float>(somme_verifiee(y, marge_verticale));
            imprimante.dessine_point(drapeau_point_absolu, static_cast<float>(somme_verifiee(x, marge_horizontale)),
                                     ligne_page, run.couleur);
            if (run.compagnon) {
              imprimante.dessine_point(drapeau_point_absolu,
                                       static_cast<float>(somme_verifiee(x, decalage_compagnon_noir)), ligne_page,
                                       run.couleur);
            }
          }
        }
      }
    }
    suivi.laisse_evenements();
    suivi.fixe_titre(texte_progression(y, surface.hauteur_echelle()));
    if (y == hauteur) break;  // the last row may be INT32_MAX: stop before incrementing past it
  }
}

}  // namespace agent
