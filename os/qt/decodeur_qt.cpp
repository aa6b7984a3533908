#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <cstring>

#include "core/erreur.h"
#include "image/decodeur_plateforme.h"
#include "image/verification_image.h"

namespace agent {

image_pixels decode_png_gif(std::span<const uint8_t> contenu, format_fichier format, const std::string& chemin) {
  // Qt reads the bytes where they are.
  QByteArray octets =
      QByteArray::fromRawData(reinterpret_cast<const char*>(contenu.data()), static_cast<qsizetype>(contenu.size()));
  QBuffer tampon(&octets);
  tampon.open(QIODevice::ReadOnly);
  QImageReader lecteur(&tampon, format == format_fichier::png ? "png" : "gif");
  // Qt's own cap (256 MB) is below an A3 page at 600 dpi; the pixel count below is the real limit.
  lecteur.setAllocationLimit(static_cast<int>(pixels_image_max * 4 / (int64_t{1024} * 1024) + 16));
  const QSize taille = lecteur.size();
  if (taille.width() == 0 || taille.height() == 0) {
    throw erreur(code_erreur::image_incorrecte, chemin + " : dimensions illisibles");
  }
  verifie_dimensions(taille.width(), taille.height(), chemin);

  QImage image;
  if (!lecteur.read(&image)) {
    throw erreur(code_erreur::image_incorrecte, chemin + " : " + lecteur.errorString().toStdString());
  }
  const bool alpha = image.hasAlphaChannel();
  image.convertTo(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  image_pixels pixels(image.width(), image.height(), alpha ? format_pixels::argb32 : format_pixels::rvb32);
  const auto octets_ligne = static_cast<size_t>(image.width()) * 4;
  for (int y = 0; y < image.height(); ++y) std::memcpy(pixels.ligne(y), image.constScanLine(y), octets_ligne);
  return pixels;
}

}  // namespace agent
