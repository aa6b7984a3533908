#pragma once
// What the preview surface `Picture1` holds: at most one picture, drawn unscaled from its
// top-left corner. The surface takes the size of each loaded picture, so nothing is cut off;
// without a picture it has the laid-out inner size. Reads see the picture laid over white,
// whatever colour the desktop theme gives the window: a dark theme must never print as dots.

#include <QImage>
#include <string>

#include "printing/surface_lecture.h"

namespace agent {

class surface_apercu : public surface_lecture {
public:
  surface_apercu(int largeur_vide, int hauteur_vide) : largeur_vide_(largeur_vide), hauteur_vide_(hauteur_vide) {}

  // Replaces the picture by the decoded file. On failure the previous picture stays.
  void charge(const std::string& chemin);
  void efface() {
    image_ = QImage();
    nom_.clear();
  }
  bool a_une_image() const { return !image_.isNull(); }
  // Opaque, RGB32 or BGR888 (charge_image); null without a picture.
  const QImage& image() const { return image_; }

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
  int largeur() const { return image_.isNull() ? largeur_vide_ : image_.width(); }
  int hauteur() const { return image_.isNull() ? hauteur_vide_ : image_.height(); }

  int largeur_vide_, hauteur_vide_;
  QImage image_;
  std::string nom_;
};

}  // namespace agent
