#pragma once
// What the preview surface `Picture1` holds: at most one picture, drawn unscaled from its
// top-left corner. The surface takes the size of each loaded picture, so nothing is cut off;
// without a picture it has the laid-out inner size. Reads see the picture laid over white,
// whatever colour the desktop theme gives the window: a dark theme must never print as dots.

#include <string>

#include "image/decodeur_plateforme.h"
#include "image/image_pixels.h"
#include "printing/surface_lecture.h"

namespace agent {

class surface_apercu : public surface_lecture {
public:
  // PNG and GIF load through `png_gif` (decode_png_gif, the platform's); without it, bitmaps only.
  surface_apercu(int largeur_vide, int hauteur_vide, decodeur_png_gif png_gif = nullptr)
      : largeur_vide_(largeur_vide), hauteur_vide_(hauteur_vide), png_gif_(png_gif) {}

  // Replaces the picture by the decoded file. On failure the previous picture stays.
  void charge(const std::string& chemin);
  void efface() {
    image_ = image_pixels();
    nom_.clear();
  }
  bool a_une_image() const { return !image_.vide(); }
  // Opaque, RGB32 or BGR888 (charge_image); empty without a picture.
  const image_pixels& image() const { return image_; }

  float largeur_echelle() const override;
  float hauteur_echelle() const override;
  uint32_t lit_pixel(int32_t x, int32_t y) const override;
  // The loaded file's name, without its folder.
  std::string nom() const override { return nom_; }
  void lit_ligne(int32_t y, std::span<uint32_t> ligne) const override;
  // A digest of the picture's size, layout and pixels, as the job that prints it carries it; 0
  // without a picture. Row padding is left out.
  uint64_t empreinte() const;

private:
  int largeur() const { return image_.vide() ? largeur_vide_ : image_.largeur(); }
  int hauteur() const { return image_.vide() ? hauteur_vide_ : image_.hauteur(); }

  int largeur_vide_, hauteur_vide_;
  decodeur_png_gif png_gif_;
  image_pixels image_;
  std::string nom_;
};

}  // namespace agent
