#include "image/image_grande.h"

#include <memory>

#include "core/erreur.h"
#include "core/memoire_grande.h"

namespace agent {

namespace {

// The picture's memory, given back with it.
struct zone {
  explicit zone(size_t t) : taille(t), debut(reserve_grande(t)) {}
  ~zone() { libere_grande(debut, taille); }
  zone(const zone&) = delete;
  zone& operator=(const zone&) = delete;

  size_t taille;
  void* debut;
};

void libere(void* info) { delete static_cast<zone*>(info); }

}  // namespace

QImage image_grande(int largeur, int hauteur, QImage::Format format) {
  // Rows aligned on 4 bytes, as QImage lays them out itself (and as a bitmap file stores them).
  const qsizetype par_ligne = (qsizetype{largeur} * QImage::toPixelFormat(format).bitsPerPixel() + 31) / 32 * 4;
  if (largeur <= 0 || hauteur <= 0) throw erreur(code_erreur::memoire_insuffisante);
  const size_t taille = static_cast<size_t>(par_ligne) * static_cast<size_t>(hauteur);
  // A small picture in QImage's own memory, which is not cleared: a decoder that leaves pixels
  // unset then shows different pixels from one load to the next, as the fuzz harness checks.
  if (taille < taille_page_large) {
    QImage image(largeur, hauteur, format);
    if (image.isNull()) throw erreur(code_erreur::memoire_insuffisante);
    return image;
  }
  auto z = std::make_unique<zone>(taille);
  QImage image(static_cast<uchar*>(z->debut), largeur, hauteur, par_ligne, format, libere, z.get());
  if (image.isNull()) throw erreur(code_erreur::memoire_insuffisante);  // z gives the zone back
  // The picture now gives the zone back when its last copy goes.
  static_cast<void>(z.release());
  return image;
}

}  // namespace agent
