#include "core/memoire_grande.h"

#include <windows.h>

#include <cstdlib>

#include "core/erreur.h"

namespace agent {

namespace {

constexpr size_t page_large = taille_page_large;

size_t arrondie(size_t taille) { return (taille + page_large - 1) / page_large * page_large; }

}  // namespace

void* reserve_grande(size_t taille) {
  // Below one large page, the allocator serves better.
  if (taille < page_large) {
    void* petite = std::calloc(taille == 0 ? 1 : taille, 1);
    if (!petite) throw erreur(code_erreur::memoire_insuffisante);
    return petite;
  }
  // Small pages: Windows gives large ones (MEM_LARGE_PAGES) only to an account holding the "lock
  // pages in memory" privilege, which an operator's has not, and makes them resident at once. It
  // has no transparent large pages either. Committed pages come zeroed and take no memory before
  // their first touch.
  void* zone = ::VirtualAlloc(nullptr, arrondie(taille), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (!zone) throw erreur(code_erreur::memoire_insuffisante);
  return zone;
}

void libere_grande(void* zone, size_t taille) noexcept {
  if (taille < page_large)
    std::free(zone);
  else if (zone)
    ::VirtualFree(zone, 0, MEM_RELEASE);
}

}  // namespace agent
