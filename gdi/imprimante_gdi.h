#pragma once
// The Windows printers as the print runs see them. Stand-in until the GDI service lands: one
// printer that counts the dots of each document and records it, so that the window and the
// start-up can be built and run.

#include <cstdint>
#include <string>
#include <vector>

#include "printing/service_imprimante.h"

namespace agent {

class imprimante_gdi final : public service_imprimante {
public:
  explicit imprimante_gdi(std::string application);

  std::vector<imprimante> imprimantes_installees() override;
  void rend_courante(const imprimante& choisie) override;
  void fixe_copies(const int16_t& copies) override;
  void fixe_mode_echelle(int16_t mode) override;
  void dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) override;
  void termine_document() override;

private:
  std::string application_;
  imprimante courante_;
  int16_t copies_ = 1;
  int64_t points_ = 0;
};

}  // namespace agent
