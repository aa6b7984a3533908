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

// The grid byte of a dot as a printer receives it. Flag 2 and one of the seven colours are all the
// raster ever sends; anything else is "Valeur de propriété incorrecte". Inline: once per dot.
inline uint8_t indice_point(int16_t drapeau, int32_t couleur) {
  if (drapeau == drapeau_point_absolu) {
    if (const auto indice = indice_couleur(static_cast<uint32_t>(couleur))) return *indice;
  }
  refuse_point(drapeau, couleur);
}

// Lays `points` on `grille` in their order, as that many dessine_point calls would; `grille`
// opens the page at the first dot, once that dot is known to be valid.
template <typename ouverture>
void pose_points(int16_t drapeau, std::span<const point_page> points, ouverture&& grille) {
  if (points.empty()) return;
  indice_point(drapeau, points.front().couleur);
  grille_points& page = grille();
  for (const point_page& p : points) page.pose_point(p.x, p.y, indice_point(drapeau, p.couleur));
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
