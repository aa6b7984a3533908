#pragma once
// What a Windows bitmap's header says about its pixels, read straight from the file and checked:
// the agent decodes bitmaps itself (decodage_bmp), so every layout it accepts is one it knows
// how to read exactly.

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace agent {

struct entete_bmp {
  int64_t debut_pixels = 0;          // as the file header says
  uint32_t taille_entete = 0;        // 12 for the oldest header, 40 and more for the others
  int64_t largeur = 0, hauteur = 0;  // hauteur < 0: rows stored top-down
  uint32_t bits = 0;
  uint32_t compression = 0;  // 0 plain, 1 and 2 run-length, 3 and 6 bit fields
  uint32_t taille_donnees = 0;
  uint32_t couleurs = 0;  // palette entries announced; 0: as many as the depth allows
  // Red, green, blue and alpha, for 16, 24 and 32 bits; a zero mask is a channel the pixels lack.
  std::array<uint32_t, 4> masques{};

  // Where the palette starts: after the headers and the masks that follow a short header.
  int64_t fin_entetes() const;
  int taille_entree_palette() const { return taille_entete == 12 ? 3 : 4; }
  // Palette entries the file really holds: a palette may stop short of what the header announces
  // where the pixels start, and the entries it lacks are then no colour at all.
  int64_t entrees_palette() const;
  // Where the pixels start: the offset the file header gives, but never inside the headers, the
  // masks or the palette. A writer may leave that offset at 0; the pixels then follow the
  // palette, and a file cut short must be measured from there.
  int64_t debut_donnees() const;
  // File size the header promises.
  int64_t taille_attendue() const;
};

// The longest headers and their masks: what lit_entete_bmp reads from the start of the file.
constexpr size_t taille_entetes_bmp = 14 + 124 + 16;

// Reads `debut`, the file's first taille_entetes_bmp bytes or all of a shorter file. A header too
// short to read, or one describing pixels the agent cannot decode exactly (an unknown depth,
// header or compression, channel masks that are not contiguous, overlap or go beyond the pixel),
// is "Image incorrecte" naming `chemin`.
entete_bmp lit_entete_bmp(std::span<const uint8_t> debut, const std::string& chemin);

}  // namespace agent
