#pragma once
// Checks that an image file holds everything its own structure announces, before it is decoded:
// a decoder that stops where the data stops shows part of a picture, and a job file still being
// copied must never print that way.

#include <cstdint>
#include <span>
#include <string>

#include "image/entete_bmp.h"

namespace agent {

// An A3 page at 600 dpi, either way round.
constexpr int64_t pixels_image_max = int64_t{7016} * 9921;

// A picture larger than that is refused before anything is allocated for it.
void verifie_dimensions(int64_t largeur, int64_t hauteur, const std::string& chemin);

// The bitmap of header `entete` in a file of `taille` bytes: its size is checked, then "Image
// incorrecte" naming `chemin` when the file is shorter than the header promises.
void verifie_bmp_complet(const entete_bmp& entete, int64_t taille, const std::string& chemin);

// "Image incorrecte" naming `chemin` when the GIF file `contenu` ends before its trailer, or when
// its first picture leaves part of its screen opaque and unset. PNG checks itself.
void verifie_gif_complet(std::span<const uint8_t> contenu, const std::string& chemin);

}  // namespace agent
