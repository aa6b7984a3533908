#pragma once
// The bitmaps of bmp_essai.h from Qt pictures, and the formats Qt writes itself, for the tests
// that draw with Qt.

#include <QByteArray>
#include <QImage>
#include <string>

#include "tests/support/bmp_essai.h"

namespace agent::essai {

// Its pixels as 0xAARRGGBB.
pixels_essai pixels_de(const QImage& image);

QByteArray ecrit_bmp(const QImage& image, int bits, const disposition_bmp& disposition);
QByteArray ecrit_bmp(const QImage& image, int bits, bool haut_en_bas = false, bool alpha = false);

// The formats Qt writes itself ("PNG", "JPEG").
QByteArray encode_avec_qt(const QImage& image, const char* format);

void ecrit_fichier(const std::string& chemin, const QByteArray& octets);
// A text, which both of the others would take.
inline void ecrit_fichier(const std::string& chemin, const char* texte) {
  ecrit_fichier(chemin, std::string_view(texte));
}

}  // namespace agent::essai
