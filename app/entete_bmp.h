#pragma once
// What a Windows bitmap's header says about its pixels, read straight from the file: Qt's reader
// neither checks that the data is all there nor expands 5- and 6-bit channels to full range.

#include <QIODevice>
#include <QImage>
#include <array>
#include <cstdint>
#include <string>

namespace agent {

struct entete_bmp {
  int64_t debut_pixels = 0;
  int64_t largeur = 0, hauteur = 0;  // hauteur < 0: rows stored top-down
  uint32_t bits = 0;
  uint32_t compression = 0;            // 0 plain, 1 and 2 run-length, 3 and 6 bit fields
  uint32_t taille_donnees = 0;
  std::array<uint32_t, 3> masques{};   // red, green, blue, for 16 and 32 bits

  // File size the header promises.
  int64_t taille_attendue() const;
};

// Reads from the start of `fichier` and puts it back where it was. A header too short to read
// is "Image incorrecte" naming `chemin`.
entete_bmp lit_entete_bmp(QIODevice& fichier, const std::string& chemin);

// Qt widens a channel of n bits by shifting it (31 becomes 248 in 5 bits, so pure red would not
// print); widen to full range instead, as 31 → 255, for the channels of a 16-bit bitmap.
void etend_canaux(QImage& image, const entete_bmp& entete);

}  // namespace agent
