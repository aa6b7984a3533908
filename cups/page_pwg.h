#pragma once
// Turns the finished page grid into one page of PWG raster, the format driverless printers
// print natively: 8-bit sRGB at the printer's resolution, one raster pixel per device pixel, so
// the page is exact by construction and nothing has to be rasterised on the print server.

#include <QByteArray>

#include "cups/format_page.h"
#include "printing/grille_points.h"

namespace agent {

// The stream's synchronisation word ("RaS2"), once before the first page.
constexpr qsizetype synchro_pwg = 4;

// A stream of one page of pixels_page(format), the grid's own size, white where there is no dot.
// Its header announces `pages` pages: a caller that prints copies as pages appends the page (the
// stream without its first synchro_pwg bytes) that many times in all.
QByteArray page_pwg(const grille_points& grille, const format_page& format, int32_t pages = 1);

}  // namespace agent
