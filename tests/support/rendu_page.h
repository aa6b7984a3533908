#pragma once
// What a printer received, as pixels: PDF and PostScript rasterised the way a printer's own
// interpreter would (no anti-aliasing), PWG and CUPS raster decoded as they are.

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
// Every page of a PWG or CUPS raster stream, as RGB32: 8-bit RGB and grey as they are; inks (CMY,
// CMYK, KCMY, K, at 1 or 8 bits a colour, chunky) as the colour they leave on white paper, each
// ink taking away its channel (black all three), so that pure inks give pure colours.
std::vector<QImage> pages_raster(const QByteArray& raster);
// The page as inks print it: each channel of each pixel all or nothing (from 128 on), the near
// colours their family's pure one, for comparison with a page received in inks.
QImage par_encres(const QImage& page);

}  // namespace agent::essai
