#pragma once
// Turns the finished page grid into a one-page PDF at the printer's resolution, drawn so that
// every dot lands on exactly its own device pixel when the spooler's rasteriser renders it.

#include <QByteArray>
#include <QPageSize>
#include <QSize>

#include "printing/grille_points.h"

namespace agent {

struct format_page {
  QPageSize taille;
  int32_t resolution;  // dots per inch, the same across and down
};

// The page in device pixels, as the PDF's page (whole points) covers it.
QSize pixels_page(const format_page& format);

// The colours are written losslessly, white where there is no dot: the dots' bounding box as a
// stack of images whose pixels are palette indices, compressed.
QByteArray page_pdf(const grille_points& grille, const format_page& format);

}  // namespace agent
