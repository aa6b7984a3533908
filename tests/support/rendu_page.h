#pragma once
// What a printer received, as pixels: PDF and PostScript rasterised the way a printer's own
// interpreter would (no anti-aliasing), PWG raster decoded as it is.

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <vector>

namespace agent::essai {

enum class rasteriseur { pdftoppm, ghostscript };

// The first page of `pdf` at `resolution` dots per inch, as RGB32.
QImage rasterise_pdf(const QByteArray& pdf, int32_t resolution, rasteriseur avec = rasteriseur::pdftoppm);
// The first page of a PostScript document, by Ghostscript at `resolution`, as RGB32.
QImage rasterise_postscript(const QByteArray& postscript, int32_t resolution);
// Every page of a PWG raster stream (8-bit sRGB or grey), as RGB32.
std::vector<QImage> pages_pwg(const QByteArray& pwg);

}  // namespace agent::essai
