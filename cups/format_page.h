#pragma once
// The sheet a page is laid out on: a medium as print queues name and size it (PWG names and
// sizes, in hundredths of a millimetre) and the printer's resolution across and down, which may
// differ (1200 × 600 dpi is a common laser resolution). The page's size in device pixels is the
// one the print server's rasterisers give the same medium, so that a dot laid on device pixel
// (x, y) reaches the paper on that pixel whichever way the page travels.

#include <QSize>
#include <QSizeF>
#include <cstdint>
#include <string>

namespace agent {

struct format_page {
  std::string support;  // "iso_a4_210x297mm"
  int32_t largeur;      // hundredths of a millimetre
  int32_t longueur;
  int32_t resolution_x;  // dots per inch across the sheet
  int32_t resolution_y;  // dots per inch down the sheet
  bool operator==(const format_page&) const = default;
};

// The medium libcups knows by this PWG name; "Erreur d'imprimante" when it knows none.
format_page format_pour(const std::string& support, int32_t resolution_x, int32_t resolution_y);
inline format_page format_pour(const std::string& support, int32_t resolution) {
  return format_pour(support, resolution, resolution);
}
// A medium of exactly this size, named after the standard medium within a fraction of a
// millimetre of it, or as a custom size.
format_page format_de_taille(int32_t largeur, int32_t longueur, int32_t resolution_x, int32_t resolution_y);

// Each side at its own resolution, rounded to the nearest pixel, as Ghostscript sizes the pages it rasterises
// (libcups's own PWG header rounds down: one row fewer on A4 at 300 dpi).
QSize pixels_page(const format_page& format);
// Exact, in PostScript points, as a PDF page states its size.
QSizeF points_page(const format_page& format);

}  // namespace agent
