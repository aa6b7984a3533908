#pragma once
// Turns the finished page grid into a one-page PDF the exact size of the medium, drawn so that
// every dot lands on exactly its own device pixel when a rasteriser renders it at the printer's
// resolution.

#include <QByteArray>

#include "cups/format_page.h"
#include "printing/grille_points.h"

namespace agent {

// The colours are written losslessly, white where there is no dot: the dots' bounding box as a
// stack of images whose pixels are palette indices, compressed.
QByteArray page_pdf(const grille_points& grille, const format_page& format);

}  // namespace agent
