#include "image/chargement_image.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QImageReader>
#include <cerrno>

#include "core/erreur.h"
#include "core/erreurs_fichiers.h"
#include "image/decodage_bmp.h"
#include "image/verification_image.h"

namespace agent {

namespace {

// By descriptor, so that any name the file system holds opens, whatever its bytes.
void ouvre(QFile& fichier, const std::string& chemin) {
  const int descripteur = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC);
  if (descripteur < 0) throw erreur_fichier({errno, std::generic_category()}, chemin);
  if (!fichier.open(descripteur, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(descripteur);
    throw erreur(code_erreur::acces_fichier, chemin);
  }
}

// Straight alpha over white, rounded to nearest; an opaque pixel keeps its exact colour.
QImage sur_fond_blanc(const QImage& image) {
  QImage source = image.convertToFormat(QImage::Format_ARGB32);
  QImage resultat(source.size(), QImage::Format_RGB32);
  for (int y = 0; y < source.height(); ++y) {
    const QRgb* entree = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    QRgb* sortie = reinterpret_cast<QRgb*>(resultat.scanLine(y));
    for (int x = 0; x < source.width(); ++x) {
      const QRgb p = entree[x];
      const int a = qAlpha(p);
      auto melange = [a](int canal) { return (canal * a + 255 * (255 - a) + 127) / 255; };
      sortie[x] = a == 255 ? p : qRgb(melange(qRed(p)), melange(qGreen(p)), melange(qBlue(p)));
    }
  }
  return resultat;
}

QImage decode_avec_qt(QFile& fichier, const QByteArray& format, const std::string& chemin) {
  QImageReader lecteur(&fichier, format);
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
  return image;
}

}  // namespace

QImage charge_image(const std::string& chemin) {
  QFile fichier;
  ouvre(fichier, chemin);
  if (fichier.size() == 0) throw erreur(code_erreur::image_incorrecte, chemin + " : fichier vide");

  const QByteArray format = QImageReader::imageFormat(&fichier);
  if (format != "bmp" && format != "png" && format != "gif") {
    throw erreur(code_erreur::image_incorrecte, chemin + " : format d'image non reconnu");
  }
  verifie_image_complete(fichier, format, chemin);
  QImage image = format == "bmp" ? decode_bmp(fichier, chemin) : decode_avec_qt(fichier, format, chemin);
  if (image.hasAlphaChannel()) return sur_fond_blanc(image);
  // A plain 24-bit bitmap stays as the file holds it: widening it would take a third more memory.
  if (image.format() != QImage::Format_BGR888) image.convertTo(QImage::Format_RGB32);
  return image;
}

}  // namespace agent
