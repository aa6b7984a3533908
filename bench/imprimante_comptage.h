#pragma once
// A printer that only counts its dots, and a window that neither yields nor shows anything: with
// them the raster's own cost is all that is left to measure.

#include <cstdint>
#include <string>
#include <vector>

#include "printing/service_imprimante.h"
#include "printing/trame_points.h"

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

class suivi_inerte : public suivi_trame {
public:
  void laisse_evenements() override {}
  void fixe_titre(const std::string&) override {}
};

}  // namespace agent::banc
