#pragma once
// Qt's painting code can return with the upper halves of the AVX registers still marked in use.
// On some processors every SSE instruction then runs several times slower until something clears
// them, and the dot raster runs right after the window has painted its preview. Clearing them
// after each turn of the event loop costs a cycle.

namespace agent {

// Does nothing on processors without AVX.
void libere_registres_avx();

}  // namespace agent
