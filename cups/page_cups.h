#pragma once
// Turns the finished page grid into one page of CUPS raster for a printer driver that takes it,
// in the colour space, depth and size the driver's own page header asks for: one raster pixel per
// device pixel, so no renderer on the print server touches the page.

#include <cups/raster.h>

#include <QByteArray>

#include "printing/grille_points.h"

namespace agent {

// The stream's synchronisation word, once before the first page.
constexpr qsizetype synchro_raster_cups = 4;

// Whether page_cups can fill a page of this header exactly: pixels in chunky order (the colours
// of a pixel side by side), 8 bits a colour in RGB or sRGB, 1 or 8 bits a colour in CMY, CMYK,
// KCMY, K, W (luminance) or sGray, unscaled. Banded or planar pages, 2, 4 or 16 bits a colour and
// every other colour space are not: such a driver gets PDF.
bool entete_exacte(const cups_page_header2_t& entete);

// A stream of one page with this header (entete_exacte), its pixels those of the grid from the
// corner of the header's imageable area on, white beyond the grid. In RGB the seven colours keep
// their exact values; in ink spaces they become pure inks: red magenta and yellow, green cyan and
// yellow, blue cyan and magenta (their near variants alike), black the black ink where the space
// has one, else cyan, magenta and yellow. "Erreur d'imprimante" for a dot in colour on a page
// that only takes black (K, W, sGray): it would print wrongly. A caller that prints copies as
// pages appends the page (the stream without its first synchro_raster_cups bytes) again.
QByteArray page_cups(const grille_points& grille, const cups_page_header2_t& entete);

}  // namespace agent
