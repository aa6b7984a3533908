#include "core/memoire_grande.h"

#include <windows.h>

namespace agent {

void* reserve_pages_grandes(size_t longueur) noexcept {
  // Small pages: Windows gives large ones (MEM_LARGE_PAGES) only to an account holding the "lock
  // pages in memory" privilege, which an operator's has not, and makes them resident at once. It
  // has no transparent large pages either. Committed pages come zeroed and take no memory before
  // their first touch.
  return ::VirtualAlloc(nullptr, longueur, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void libere_pages_grandes(void* zone, size_t) noexcept { ::VirtualFree(zone, 0, MEM_RELEASE); }

}  // namespace agent
