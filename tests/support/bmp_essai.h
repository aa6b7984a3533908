#pragma once
// Writes Windows bitmaps of every depth a job file may use, which Qt's own writer does not all
// produce: 1, 4 and 8 bits with a palette (whole, cut short, or shorter than announced), 16 bits
// (5-5-5), 24 and 32 bits, bottom-up or top-down, 32 bits with an alpha channel, and 16 or 32
// bits in any channel layout. Standard C++ alone, as the tests of image/ are; bmp_essai_qt.h
// takes Qt pictures.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace agent::essai {

// Pixels 0xAARRGGBB, row after row from the top.
struct pixels_essai {
  int largeur = 0, hauteur = 0;
  std::vector<uint32_t> argb;

  uint32_t pixel(int x, int y) const { return argb[static_cast<size_t>(y) * static_cast<size_t>(largeur) + x]; }
  // The rectangle of `l` × `h` pixels from (x, y).
  pixels_essai partie(int x, int y, int l, int h) const;
};

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

// The file's bytes.
std::string ecrit_bmp(const pixels_essai& image, int bits, const disposition_bmp& disposition);

// `image` in RGB; with `alpha`, 32 bits only, its alpha channel too. A palette depth needs an
// image with few enough colours.
std::string ecrit_bmp(const pixels_essai& image, int bits, bool haut_en_bas = false, bool alpha = false);

// The bytes written in hexadecimal digits ("424d…").
std::string depuis_hexa(std::string_view chiffres);

void ecrit_fichier(const std::string& chemin, std::string_view octets);

}  // namespace agent::essai
