#include "image/image_grande.h"

#include <memory>

#include "core/erreur.h"
#include "core/memoire_grande.h"

namespace agent {

namespace {

struct zone {
  void* debut;
  size_t taille;
};

void libere(void* info) {
  const std::unique_ptr<zone> z(static_cast<zone*>(info));
  libere_grande(z->debut, z->taille);
}

}  // namespace

QImage image_grande(int largeur, int hauteur, QImage::Format format) {
  // Rows aligned on 4 bytes, as QImage lays them out itself (and as a bitmap file stores them).
  const qsizetype par_ligne = (qsizetype{largeur} * QImage::toPixelFormat(format).bitsPerPixel() + 31) / 32 * 4;
  if (largeur <= 0 || hauteur <= 0) throw erreur(code_erreur::memoire_insuffisante);
  const size_t taille = static_cast<size_t>(par_ligne) * static_cast<size_t>(hauteur);
  auto z = std::make_unique<zone>(zone{reserve_grande(taille), taille});
  QImage image(static_cast<uchar*>(z->debut), largeur, hauteur, par_ligne, format, libere, z.get());
  if (image.isNull()) {
    libere(z.release());
    throw erreur(code_erreur::memoire_insuffisante);
  }
  z.release();
  return image;
}

}  // namespace agent
