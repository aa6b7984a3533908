#pragma once
// The preview surface as the raster reads it. The window's `Picture1` implements it; tests use
// small surfaces of their own.

#include <cstdint>
#include <span>
#include <string>

namespace agent {

// What a read outside the surface returns: none of the printable colours.
constexpr uint32_t couleur_hors_surface = 0xFFFFFFFF;

class surface_lecture {
public:
  virtual ~surface_lecture() = default;

  // Inner size in pixels.
  virtual float largeur_echelle() const = 0;
  virtual float hauteur_echelle() const = 0;

  // Colour of the pixel (x, y) as 0x00BBGGRR, or couleur_hors_surface outside the surface.
  virtual uint32_t lit_pixel(int32_t x, int32_t y) const = 0;

  // The name of what the surface shows (the file it was loaded from); empty when it has none.
  virtual std::string nom() const { return {}; }

  // Pixels (0, y) … (n-1, y) with n = ligne.size(), each exactly as lit_pixel gives it. A surface
  // backed by a decoded image overrides this to read the image row directly.
  virtual void lit_ligne(int32_t y, std::span<uint32_t> ligne) const {
    for (size_t x = 0; x < ligne.size(); ++x) ligne[x] = lit_pixel(static_cast<int32_t>(x), y);
  }
};

}  // namespace agent
