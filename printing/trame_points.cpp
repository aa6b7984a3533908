#include "printing/trame_points.h"

#include <vector>

#include "core/arithmetique.h"
#include "printing/couleurs.h"
#include "printing/texte_progression.h"

namespace agent {

void trame_points(const surface_lecture& surface, service_imprimante& imprimante, suivi_trame& suivi) {
  const int32_t hauteur = arrondi_entier32(surface.hauteur_echelle());
  std::vector<uint32_t> pixels;

  for (int32_t y = 0; y <= hauteur; ++y) {
    const int32_t largeur = arrondi_entier32(surface.largeur_echelle());
    if (largeur >= 0) {
      pixels.resize(static_cast<size_t>(somme_verifiee(largeur, 1)));
      surface.lit_ligne(y, pixels);
      for (int32_t x = 0; x <= largeur; ++x) {
        const uint32_t c = pixels[static_cast<size_t>(x)];
        if (!est_imprimable(c)) continue;
        const int32_t couleur = static_cast<int32_t>(c);
        const float ligne_page = static_cast<float>(somme_verifiee(y, marge_verticale));
        imprimante.dessine_point(drapeau_point_absolu, static_cast<float>(somme_verifiee(x, marge_horizontale)),
                                 ligne_page, couleur);
        if (c == noir) {
          imprimante.dessine_point(drapeau_point_absolu, static_cast<float>(somme_verifiee(x, decalage_compagnon_noir)),
                                   ligne_page, couleur);
        }
      }
    }
    suivi.laisse_evenements();
    suivi.fixe_titre(texte_progression(y, surface.hauteur_echelle()));
    if (y == hauteur) break;  // the last row may be INT32_MAX: stop before incrementing past it
  }
}

}  // namespace agent
