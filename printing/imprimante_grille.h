#pragma once
// A printer that lays each document's dots on a page grid of one size and keeps the last page it
// finished: the CUPS printer's own way to a page, without a print scheduler. The benchmarks
// measure pages with it; the fuzz harness drives the raster into it.

#include <QSize>
#include <cstdint>
#include <optional>

#include "printing/couleurs.h"
#include "printing/grille_points.h"
#include "printing/imprimante_seule.h"

namespace agent {

[[noreturn]] void refuse_point(int16_t drapeau, int32_t couleur);

// indice_couleur without a branch, 0 for any other colour: a page of scattered colours would
// mispredict one at nearly every dot.
inline uint8_t indice_sans_saut(int32_t couleur) {
  const auto c = static_cast<uint32_t>(couleur);
  unsigned indice = 0;
  for (unsigned i = 0; i < couleurs_imprimables.size(); ++i) indice |= (c == couleurs_imprimables[i]) * (i + 1);
  return static_cast<uint8_t>(indice);
}

// The grid byte of a dot as a printer receives it. Flag 2 and one of the seven colours are all the
// raster ever sends; anything else is "Valeur de propriété incorrecte". Inline: once per dot.
inline uint8_t indice_point(int16_t drapeau, int32_t couleur) {
  const uint8_t indice = indice_sans_saut(couleur);
  if (drapeau != drapeau_point_absolu || indice == 0) refuse_point(drapeau, couleur);
  return indice;
}

// Lays `points` on `grille` in their order, as that many dessine_point calls would; `grille`
// opens the page at the first dot, once that dot is known to be valid.
template <typename ouverture>
void pose_points(int16_t drapeau, std::span<const point_page> points, ouverture&& grille) {
  if (points.empty()) return;
  indice_point(drapeau, points.front().couleur);
  // The flag is the same for the whole run: checked once, above.
  grille().pose_points(points, indice_sans_saut, [drapeau](int32_t couleur) { refuse_point(drapeau, couleur); });
}

class imprimante_grille : public imprimante_seule {
public:
  explicit imprimante_grille(QSize page) : page_(page) {}

  void dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) override;
  void dessine_points(int16_t drapeau, std::span<const point_page> points) override;
  void termine_document() override;

  // The last document's page; empty when it had no dot.
  const std::optional<grille_points>& derniere_page() const { return derniere_; }

private:
  grille_points& ouverte();

  QSize page_;
  std::optional<grille_points> ouverte_, derniere_;
};

}  // namespace agent
