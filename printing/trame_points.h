#pragma once
// The dot raster: walks the preview surface and draws every pixel of a printable colour as one
// dot of that colour, shifted by the page margin; a black pixel gets a second dot one device
// pixel to its left. Between rows it lets the window run its events and shows the progress.

#include <cstdint>
#include <string>

#include "printing/service_imprimante.h"
#include "printing/surface_lecture.h"

namespace agent {

constexpr int32_t marge_horizontale = 60;
constexpr int32_t marge_verticale = 20;
constexpr int32_t decalage_compagnon_noir = 59;

// What the raster needs from the window between rows.
class suivi_trame {
public:
  virtual ~suivi_trame() = default;
  virtual void laisse_evenements() = 0;
  virtual void fixe_titre(const std::string& titre) = 0;
};

// For a raster with no window to serve: benchmarks, harnesses, expected pages.
class suivi_sans_fenetre : public suivi_trame {
public:
  void laisse_evenements() override {}
  void fixe_titre(const std::string&) override {}
};

// Rows 0 … H and columns 0 … W, both limits included (the last row and column lie outside the
// surface and print nothing), with H the scale height rounded once and W the scale width rounded
// afresh at each row. Coordinate arithmetic is checked. Does not end the document.
void trame_points(const surface_lecture& surface, service_imprimante& imprimante, suivi_trame& suivi);

}  // namespace agent
