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
  int64_t debut_pixels = 0;            // as the file header says
  uint32_t taille_entete = 0;          // 12 for the oldest header, 40 and more for the others
  int64_t largeur = 0, hauteur = 0;  // hauteur < 0: rows stored top-down
  uint32_t bits = 0;
  uint32_t compression = 0;            // 0 plain, 1 and 2 run-length, 3 and 6 bit fields
  uint32_t taille_donnees = 0;
  uint32_t couleurs = 0;               // palette entries; 0: as many as the depth allows
  std::array<uint32_t, 3> masques{};   // red, green, blue, for 16 and 32 bits

  // Where the pixels start: the offset the file header gives, but never inside the headers, the
  // masks or the palette. A writer may leave that offset at 0; the decoder then reads the pixels
  // from after the palette, and a file cut short must be measured from there.
  int64_t debut_donnees() const;
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
