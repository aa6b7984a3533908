#pragma once
// A printer that only lays the dots on a page grid, as the CUPS printer does before it renders
// the page: what the raster draws meets the same page without any scheduler.

#include "printing/grille_points.h"
#include "printing/service_imprimante.h"

namespace agent::fuzz {

class imprimante_grille : public service_imprimante {
public:
  imprimante_grille(int32_t largeur, int32_t hauteur) : grille_(largeur, hauteur) {}

  std::vector<imprimante> imprimantes_installees() override { return {}; }
  void rend_courante(const imprimante&) override {}
  void fixe_copies(const int16_t&) override {}
  void fixe_mode_echelle(int16_t) override {}
  // Aborts on anything the raster must never send: another mode or a colour that does not print.
  void dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) override;
  void termine_document() override {}

  const grille_points& grille() const { return grille_; }

private:
  grille_points grille_;
};

}  // namespace agent::fuzz
