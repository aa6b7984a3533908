#pragma once
// A raster stream that libcups writes into memory, for the page encoders of PWG and CUPS raster.

#include <cups/raster.h>

#include <QByteArray>
#include <memory>

namespace agent {

struct fermeture_raster {
  void operator()(cups_raster_t* r) const { cupsRasterClose(r); }
};
using flux_raster = std::unique_ptr<cups_raster_t, fermeture_raster>;

// A stream appending to `octets` in `mode` (PWG, CUPS raster, compressed or not); null when
// libcups cannot open it (cupsRasterErrorString says why). Throws nothing.
flux_raster ouvre_flux_raster(QByteArray& octets, cups_mode_t mode);

}  // namespace agent
