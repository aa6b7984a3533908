#pragma once
// A printer that only counts its dots: with it and a raster that serves no window
// (suivi_sans_fenetre), the raster's own cost is all that is left to measure.

#include <cstdint>

#include "bench/imprimante_seule.h"

namespace agent::banc {

class imprimante_comptage : public imprimante_seule {
public:
  void dessine_point(int16_t, float, float, const int32_t&) override { ++points; }
  void termine_document() override {}

  int64_t points = 0;
};

}  // namespace agent::banc
