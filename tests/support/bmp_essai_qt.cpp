#include "tests/support/bmp_essai_qt.h"

#include <QBuffer>
#include <stdexcept>

namespace agent::essai {

pixels_essai pixels_de(const QImage& image) {
  const QImage source = image.convertToFormat(QImage::Format_ARGB32);
  pixels_essai pixels{source.width(), source.height(), {}};
  pixels.argb.reserve(static_cast<size_t>(source.width()) * static_cast<size_t>(source.height()));
  for (int y = 0; y < source.height(); ++y) {
    const auto* ligne = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    pixels.argb.insert(pixels.argb.end(), ligne, ligne + source.width());
  }
  return pixels;
}

QByteArray ecrit_bmp(const QImage& image, int bits, const disposition_bmp& disposition) {
  return QByteArray::fromStdString(ecrit_bmp(pixels_de(image), bits, disposition));
}

QByteArray ecrit_bmp(const QImage& image, int bits, bool haut_en_bas, bool alpha) {
  return QByteArray::fromStdString(ecrit_bmp(pixels_de(image), bits, haut_en_bas, alpha));
}

QByteArray encode_avec_qt(const QImage& image, const char* format) {
  QByteArray octets;
  QBuffer tampon(&octets);
  tampon.open(QIODevice::WriteOnly);
  if (!image.save(&tampon, format)) throw std::runtime_error(std::string("encodage impossible : ") + format);
  return octets;
}

void ecrit_fichier(const std::string& chemin, const QByteArray& octets) {
  ecrit_fichier(chemin, std::string_view(octets.constData(), static_cast<size_t>(octets.size())));
}

}  // namespace agent::essai
