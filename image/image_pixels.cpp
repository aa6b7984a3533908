#include "image/image_pixels.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "core/erreur.h"
#include "core/memoire_grande.h"

namespace agent {

image_pixels::image_pixels(int32_t largeur, int32_t hauteur, format_pixels format)
    : largeur_(largeur), hauteur_(hauteur), format_(format) {
  if (largeur <= 0 || hauteur <= 0) throw erreur(code_erreur::memoire_insuffisante);
  par_ligne_ = (static_cast<size_t>(largeur) * 8 * static_cast<size_t>(octets_par_pixel(format)) + 31) / 32 * 4;
  taille_ = par_ligne_ * static_cast<size_t>(hauteur);
  // Below one large page the allocator serves better; its memory is not cleared (see the header).
  if (taille_ < taille_page_large) {
    octets_ = static_cast<uint8_t*>(std::malloc(taille_));
    if (!octets_) throw erreur(code_erreur::memoire_insuffisante);
  } else {
    octets_ = static_cast<uint8_t*>(reserve_grande(taille_));
  }
}

image_pixels::~image_pixels() { libere(); }

image_pixels::image_pixels(image_pixels&& autre) noexcept
    : largeur_(std::exchange(autre.largeur_, 0)),
      hauteur_(std::exchange(autre.hauteur_, 0)),
      format_(autre.format_),
      par_ligne_(std::exchange(autre.par_ligne_, 0)),
      taille_(std::exchange(autre.taille_, 0)),
      octets_(std::exchange(autre.octets_, nullptr)) {}

image_pixels& image_pixels::operator=(image_pixels&& autre) noexcept {
  if (this != &autre) {
    libere();
    largeur_ = std::exchange(autre.largeur_, 0);
    hauteur_ = std::exchange(autre.hauteur_, 0);
    format_ = autre.format_;
    par_ligne_ = std::exchange(autre.par_ligne_, 0);
    taille_ = std::exchange(autre.taille_, 0);
    octets_ = std::exchange(autre.octets_, nullptr);
  }
  return *this;
}

void image_pixels::libere() noexcept {
  if (taille_ < taille_page_large)
    std::free(octets_);
  else
    libere_grande(octets_, taille_);
  octets_ = nullptr;
}

void image_pixels::reinterprete(format_pixels format) {
  if (octets_par_pixel(format) != octets_par_pixel(format_)) throw erreur(code_erreur::image_incorrecte);
  format_ = format;
}

bool operator==(const image_pixels& a, const image_pixels& b) {
  if (a.vide() || b.vide()) return a.vide() == b.vide();
  if (a.largeur() != b.largeur() || a.hauteur() != b.hauteur() || a.format() != b.format()) return false;
  const auto octets = static_cast<size_t>(a.largeur()) * static_cast<size_t>(octets_par_pixel(a.format()));
  for (int32_t y = 0; y < a.hauteur(); ++y)
    if (std::memcmp(a.ligne(y), b.ligne(y), octets) != 0) return false;
  return true;
}

}  // namespace agent
