#include "core/memoire_grande.h"

#include <sys/mman.h>

#include <cstdint>

namespace agent {

void* reserve_pages_grandes(size_t longueur) noexcept {
  constexpr size_t page_large = taille_page_large;
  // One large page beyond the length, so that the zone can start on a large page's boundary.
  void* brute = ::mmap(nullptr, longueur + page_large, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (brute == MAP_FAILED) return nullptr;
  auto* debut = static_cast<char*>(brute);
  const size_t avance = (page_large - reinterpret_cast<uintptr_t>(debut) % page_large) % page_large;
  char* alignee = debut + avance;
  if (alignee > debut) ::munmap(debut, static_cast<size_t>(alignee - debut));
  const size_t reste = static_cast<size_t>(debut + longueur + page_large - (alignee + longueur));
  if (reste > 0) ::munmap(alignee + longueur, reste);
  // Advice only: where the system has no large pages, the zone works in small ones.
  ::madvise(alignee, longueur, MADV_HUGEPAGE);
  return alignee;
}

void libere_pages_grandes(void* zone, size_t longueur) noexcept { ::munmap(zone, longueur); }

}  // namespace agent
