#pragma once
// A printer alone, in memory, with no print scheduler behind it: no list of installed printers to
// choose among, and no copies or scale mode for anything to act on. The printers of the benchmarks
// and of the fuzz harness only differ in what they do with the dots.

#include "printing/service_imprimante.h"

namespace agent {

class imprimante_seule : public service_imprimante {
public:
  std::vector<imprimante> imprimantes_installees() override { return {}; }
  void rend_courante(const imprimante&) override {}
  void fixe_copies(const int16_t&) override {}
  void fixe_mode_echelle(int16_t) override {}
};

}  // namespace agent
