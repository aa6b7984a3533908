#pragma once
// Writes Windows bitmaps of every depth a job file may use, which Qt's own writer does not all
// produce: 1, 4 and 8 bits with a palette (whole, cut short, or shorter than announced), 16 bits
// (5-5-5), 24 and 32 bits, bottom-up or top-down, 32 bits with an alpha channel, and 16 or 32
// bits in any channel layout.

#include <QByteArray>
#include <QImage>
#include <array>
#include <cstdint>
#include <string>

namespace agent::essai {

struct disposition_bmp {
  bool haut_en_bas = false;
  // Red, green, blue, alpha (0: no such channel), each to the nearest of its levels; compression 3
  // or 6; a header of 40 bytes (the masks after it), 108 or 124.
  std::array<uint32_t, 4> masques{};
  uint32_t compression = 3;
  uint32_t taille_entete = 124;
  // Palette entries written (0: all the depth allows) and announced (-1: those written).
  int entrees_palette = 0;
  int couleurs_annoncees = -1;
};

QByteArray ecrit_bmp(const QImage& image, int bits, const disposition_bmp& disposition);

// `image` in RGB; with `alpha`, 32 bits only, its alpha channel too. A palette depth needs an
// image with few enough colours.
QByteArray ecrit_bmp(const QImage& image, int bits, bool haut_en_bas = false, bool alpha = false);

// The formats Qt writes itself ("PNG", "JPEG").
QByteArray encode_avec_qt(const QImage& image, const char* format);

void ecrit_fichier(const std::string& chemin, const QByteArray& octets);

}  // namespace agent::essai
