#pragma once
// A printer that only counts its dots: with it and a raster that serves no window
// (suivi_sans_fenetre), the raster's own cost is all that is left to measure.

#include <cstdint>
#include <vector>

#include "printing/service_imprimante.h"

namespace agent::banc {

class imprimante_comptage : public service_imprimante {
 public:
  std::vector<imprimante> imprimantes_installees() override { return {}; }
  void rend_courante(const imprimante&) override {}
  void fixe_copies(const int16_t&) override {}
  void fixe_mode_echelle(int16_t) override {}
  void dessine_point(int16_t, float, float, const int32_t&) override { ++points; }
  void termine_document() override {}

  int64_t points = 0;
};

}  // namespace agent::banc
