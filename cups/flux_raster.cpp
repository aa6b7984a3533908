#include "cups/flux_raster.h"

namespace agent {

namespace {

// Appends what libcups writes to the page's bytes; all of it. Throws nothing.
ssize_t ajoute(void* destination, unsigned char* octets, size_t taille) {
  static_cast<QByteArray*>(destination)->append(reinterpret_cast<const char*>(octets), static_cast<qsizetype>(taille));
  return static_cast<ssize_t>(taille);
}

}  // namespace

flux_raster ouvre_flux_raster(QByteArray& octets, cups_mode_t mode) {
  return flux_raster(cupsRasterOpenIO(ajoute, &octets, mode));
}

}  // namespace agent
