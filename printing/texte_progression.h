#pragma once
// The window title the raster writes after each row.

#include <cstdint>
#include <string>

namespace agent {

// "12/943": the row just drawn, then the scale height as a general number of at most seven
// significant digits ("942.5", never "942,5" whatever the locale).
std::string texte_progression(int32_t ligne, float hauteur);

}  // namespace agent
