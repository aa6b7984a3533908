#pragma once
// Writes Windows bitmaps of every depth a job file may use, which Qt's own writer does not all
// produce: 1, 4 and 8 bits with a palette, 16 bits (5-5-5), 24 and 32 bits, bottom-up or
// top-down, and 32 bits with an alpha channel.

#include <QByteArray>
#include <QImage>
#include <string>

namespace agent::essai {

// `image` in RGB; with `alpha`, 32 bits only, its alpha channel too. A palette depth needs an
// image with few enough colours.
QByteArray ecrit_bmp(const QImage& image, int bits, bool haut_en_bas = false, bool alpha = false);

// The formats Qt writes itself ("PNG", "JPEG").
QByteArray encode_avec_qt(const QImage& image, const char* format);

void ecrit_fichier(const std::string& chemin, const QByteArray& octets);

}  // namespace agent::essai
