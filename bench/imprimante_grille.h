#pragma once
// A printer that lays each document's dots on a page grid of one size and keeps the last page it
// finished: the CUPS printer's own way to a page, without a print scheduler. The benchmarks
// measure pages with it; the fuzz harness drives the raster into it (and builds this file in).

#include <QSize>
#include <cstdint>
#include <optional>

#include "bench/imprimante_seule.h"
#include "printing/grille_points.h"

namespace agent {

class imprimante_grille : public imprimante_seule {
public:
  explicit imprimante_grille(QSize page) : page_(page) {}

  void dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) override;
  void dessine_plages(int16_t drapeau, std::span<const plage_points> plages) override;
  void termine_document() override;

  // The last document's page; empty when it had no dot.
  const std::optional<grille_points>& derniere_page() const { return derniere_; }

private:
  grille_points& ouverte();

  QSize page_;
  std::optional<grille_points> ouverte_, derniere_;
};

}  // namespace agent
