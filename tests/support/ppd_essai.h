#pragma once
// PPD files for the private scheduler's queues, with the resolution and default paper a test
// asks for; all offer A4 and Letter at the sizes driver PPDs give them (A4 as 595 × 842 points).

#include <cstdint>
#include <string>

namespace agent::essai {

// How a queue reaches its printer.
enum class sorte_file {
  transparent,    // a PPD whose filters pass PDF to the device untouched, as a raw queue does
  postscript,     // a PostScript printer's PPD: the scheduler's filters rewrite the page
  sans_pilote,    // driverless (lpadmin -m everywhere) to an emulated IPP Everywhere printer
  pilote_raster,  // a raster driver's PPD, its driver "-": the device gets the CUPS raster
};

// The colour space and depth of a raster driver's page.
enum class espace_raster { rvb_8, cmjn_1 };

// A driver for a queue: the resolution and default paper it reports (paper: "A4" or "Letter").
struct pilote {
  int32_t resolution;
  std::string papier;
  sorte_file sorte = sorte_file::transparent;
  int32_t resolution_y = 0;  // down the sheet, when it differs from `resolution` (PPD queues)
  espace_raster espace = espace_raster::rvb_8;
  // Colour chosen by a vendor ColorMode option shipped at Monochrome, instead of ColorModel.
  bool mode_couleur_monochrome = false;
  bool couleur = true;  // *ColorDevice
};

// Transparent and raster driver: the whole sheet is printable. PostScript: the scheduler's
// filters turn the page into PostScript for the device, and the printable area stops 12 points
// short of every edge.
std::string ppd_essai(const pilote& p);

}  // namespace agent::essai
