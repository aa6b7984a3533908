#pragma once
// Where the runs of one printable colour start and end in a row of pixels: the raster's one pass
// over every pixel, sixteen at a time.

#include <cstddef>
#include <cstdint>

namespace agent {

// A row's marks are taken sixteen pixels at a time: `colonnes` rounded up to whole blocks.
constexpr size_t colonnes_en_blocs(size_t colonnes) { return (colonnes + 15) / 16 * 16; }

// debuts[x] = 1 where the run of p[x]'s printable colour starts (p[x - 1] differs), fins[x] = 1
// where it ends (p[x + 1] differs), 0 elsewhere, for x below colonnes_en_blocs(colonnes). p[-1] and p[x + 1] are read
// for each such x: the row's buffer holds them, and pixels that print nothing beyond the row.
void marque_ligne(const uint32_t* p, size_t colonnes, uint8_t* debuts, uint8_t* fins);

}  // namespace agent
