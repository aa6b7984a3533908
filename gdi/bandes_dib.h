#pragma once
// The page grid as the device-resolution bitmaps a GDI printer receives: horizontal bands of rows,
// each as wide as the dots' frame, 24 bits a pixel with white where no dot was drawn. A band with
// no dot in it is never sent: paper is white already, and a driver spools every pixel it gets.
// Standard C++ only; the service hands each band to SetDIBitsToDevice.

#include <cstdint>
#include <span>
#include <vector>

#include "printing/grille_points.h"

namespace agent {

// Rows y0 … y1 - 1 and columns x0 … x1 - 1 of the page, sent as one bitmap.
using bande_dib = cadre_points;

// The bands holding every dot of `grille`, top to bottom, each at most `lignes_max` rows high and
// spanning the columns of the dots' frame; rows without a dot split bands and are left out.
std::vector<bande_dib> bandes_dib(const grille_points& grille, int32_t lignes_max);

// Bytes of one row of a 24-bit bitmap `largeur` pixels wide: rows are padded to four bytes.
constexpr size_t octets_ligne_dib(int32_t largeur) { return (static_cast<size_t>(largeur) * 3 + 3) / 4 * 4; }

// The pixels of `bande` in `pixels` (octets_ligne_dib(largeur) × hauteur bytes) as a bottom-up
// 24-bit bitmap stores them: its last row first, each pixel blue, green, red.
void remplit_bande(const grille_points& grille, const bande_dib& bande, std::span<uint8_t> pixels);

}  // namespace agent
