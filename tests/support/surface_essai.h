#pragma once
// A preview surface in memory for raster tests: a grid of 0x00BBGGRR values on white, with a
// scale size that can be set apart from the grid (942.5 rows, say).

#include <cstdint>
#include <string>
#include <vector>

#include "printing/surface_lecture.h"

namespace agent::essai {

class surface_essai : public surface_lecture {
public:
  surface_essai(int32_t largeur, int32_t hauteur, uint32_t fond = 0xFFFFFF)
      : largeur_(largeur),
        hauteur_(hauteur),
        pixels_(static_cast<size_t>(largeur) * hauteur, fond),
        echelle_largeur_(static_cast<float>(largeur)),
        echelle_hauteur_(static_cast<float>(hauteur)) {}

  void pose(int32_t x, int32_t y, uint32_t c) { pixels_[static_cast<size_t>(y) * largeur_ + x] = c; }
  void fixe_echelle(float largeur, float hauteur) { echelle_largeur_ = largeur, echelle_hauteur_ = hauteur; }
  void nomme(std::string nom) { nom_ = std::move(nom); }

  float largeur_echelle() const override { return echelle_largeur_; }
  float hauteur_echelle() const override { return echelle_hauteur_; }
  std::string nom() const override { return nom_; }
  uint32_t lit_pixel(int32_t x, int32_t y) const override {
    ++lectures;
    if (x < 0 || y < 0 || x >= largeur_ || y >= hauteur_) return couleur_hors_surface;
    return pixels_[static_cast<size_t>(y) * largeur_ + x];
  }

  mutable int64_t lectures = 0;

private:
  int32_t largeur_, hauteur_;
  std::vector<uint32_t> pixels_;
  float echelle_largeur_, echelle_hauteur_;
  std::string nom_;
};

}  // namespace agent::essai
