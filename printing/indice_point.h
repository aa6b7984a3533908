#pragma once
// The grid byte of a dot as a printer receives it, for the printers that lay dots on a page grid.

#include <cstdint>

namespace agent {

// Flag 2 and one of the seven colours are all the raster ever sends; anything else is "Valeur de
// propriété incorrecte".
uint8_t indice_point(int16_t drapeau, int32_t couleur);

}  // namespace agent
