#pragma once
// The page a picture must print as, and a pixel-for-pixel comparison with what a rasteriser drew
// from the spooled document.

#include <QImage>
#include <QSize>
#include <string>

#include "printing/surface_lecture.h"

namespace agent::essai {

// White paper of `taille` device pixels with the dots the raster draws for `s`.
QImage page_attendue(const surface_lecture& s, QSize taille);

// "" when equal; else how many pixels differ and the first of them.
std::string ecarts(const QImage& attendue, const QImage& rendue);
// How many pixels differ; -1 when the sizes do not match.
int64_t pixels_differents(const QImage& attendue, const QImage& rendue);

}  // namespace agent::essai
