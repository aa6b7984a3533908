#include "image/image_grande.h"

#include "core/erreur.h"
#include "core/memoire_grande.h"

namespace agent {

namespace {

// A picture's memory, given back with it.
struct zone {
  explicit zone(size_t t) : taille(t), debut(reserve_grande(t)) {}
  ~zone() { libere_grande(debut, taille); }
  zone(const zone&) = delete;
  zone& operator=(const zone&) = delete;

  size_t taille;
  void* debut;
};

}  // namespace

struct reserve_image::etat {
  std::unique_ptr<zone> gardee;
};

namespace {

// What a picture over a zone carries to its end.
struct lien {
  std::unique_ptr<zone> memoire;
  std::weak_ptr<reserve_image::etat> reserve;
};

// The picture's last copy is gone: its memory back to the reserve, if the reserve still exists
// and holds nothing larger; otherwise to the system.
void rend(void* info) {
  const std::unique_ptr<lien> l(static_cast<lien*>(info));
  const std::shared_ptr<reserve_image::etat> reserve = l->reserve.lock();
  if (reserve && (!reserve->gardee || reserve->gardee->taille < l->memoire->taille))
    reserve->gardee = std::move(l->memoire);
}

}  // namespace

reserve_image::reserve_image() : etat_(std::make_shared<etat>()) {}
reserve_image::~reserve_image() = default;

QImage reserve_image::image(int largeur, int hauteur, QImage::Format format) {
  if (largeur <= 0 || hauteur <= 0) throw erreur(code_erreur::memoire_insuffisante);
  // Rows aligned on 4 bytes, as QImage lays them out itself (and as a bitmap file stores them).
  const qsizetype par_ligne = (qsizetype{largeur} * QImage::toPixelFormat(format).bitsPerPixel() + 31) / 32 * 4;
  const size_t taille = static_cast<size_t>(par_ligne) * static_cast<size_t>(hauteur);
  if (taille < taille_page_large) {
    QImage image(largeur, hauteur, format);
    if (image.isNull()) throw erreur(code_erreur::memoire_insuffisante);
    return image;
  }
  auto l = std::make_unique<lien>();
  l->reserve = etat_;
  if (etat_->gardee && etat_->gardee->taille >= taille) {
    l->memoire = std::move(etat_->gardee);
  } else {
    etat_->gardee.reset();  // too small: given back before more is taken
    l->memoire = std::make_unique<zone>(taille);
  }
  QImage image(static_cast<uchar*>(l->memoire->debut), largeur, hauteur, par_ligne, format, rend, l.get());
  if (image.isNull()) throw erreur(code_erreur::memoire_insuffisante);  // l gives the memory back
  // The picture now gives the memory back when its last copy goes.
  static_cast<void>(l.release());
  return image;
}

QImage image_grande(int largeur, int hauteur, QImage::Format format) {
  return reserve_image().image(largeur, hauteur, format);
}

}  // namespace agent
