#pragma once
// Decodes Windows bitmaps for the preview. Qt's reader widens bit-field channels by shifting
// (a 3-bit maximum becomes 224, a 1-bit alpha 128), reads channels wider than 8 bits as black,
// paints palette indices beyond the palette black, reads a palette shorter than its header
// announces into the pixels, and reads a run-length stream that leaves pixels unset without a
// word: a bitmap prints exactly what it holds only when the agent reads it itself.

#include <string>

#include "image/entete_bmp.h"
#include "image/fichier_image.h"
#include "image/image_pixels.h"

namespace agent {

// The bitmap of header `entete` in `fichier` of `taille` bytes, already checked to be whole
// (verifie_bmp_complet): BGR888, the file's own bytes, for plain 24 bits; otherwise RGB32, or
// ARGB32 when its pixels carry alpha. An index beyond the palette, or run-length data that does
// not set every pixel exactly once, is "Image incorrecte" naming `chemin`.
image_pixels decode_bmp(const fichier_image& fichier, const entete_bmp& entete, int64_t taille,
                        const std::string& chemin);

}  // namespace agent
