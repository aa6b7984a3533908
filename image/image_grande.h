#pragma once
// Pictures whose pixels live in memory from reserve_grande: a job file's picture is as large as
// the file, and taking it in small pages costs more than reading the file.

#include <QImage>
#include <memory>

namespace agent {

// Memory for large pictures kept from one to the next: the preview's pictures follow one another,
// and memory fresh from the system costs a fault and a clearing for each of its pages before the
// first pixel lands there. Once a picture from it is gone (its last copy), its memory stays here
// for the next, until a larger one needs more. The preview keeps one for its whole life.
class reserve_image {
public:
  reserve_image();
  ~reserve_image();
  reserve_image(const reserve_image&) = delete;
  reserve_image& operator=(const reserve_image&) = delete;

  // Pixels not set; "Mémoire insuffisante" when it cannot be held. Copies share the pixels, as
  // QImage's do; a picture may outlive its reserve. Below one large page, QImage's own memory,
  // which is not cleared: a decoder that leaves pixels unset then shows different pixels from
  // one load to the next, as the fuzz harness checks.
  QImage image(int largeur, int hauteur, QImage::Format format);

  struct etat;

private:
  std::shared_ptr<etat> etat_;
};

// The same from memory that no other picture will use.
QImage image_grande(int largeur, int hauteur, QImage::Format format);

}  // namespace agent
