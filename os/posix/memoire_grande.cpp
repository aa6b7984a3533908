#include "core/memoire_grande.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

#include "core/erreur.h"

namespace agent {

namespace {

constexpr size_t page_large = taille_page_large;

size_t arrondie(size_t taille) { return (taille + page_large - 1) / page_large * page_large; }

}  // namespace

void* reserve_grande(size_t taille) {
  // Below one large page, the allocator serves better, and touching a byte costs no more than 4 KB.
  if (taille < page_large) {
    void* petite = std::calloc(taille == 0 ? 1 : taille, 1);
    if (!petite) throw erreur(code_erreur::memoire_insuffisante);
    return petite;
  }
  const size_t longueur = arrondie(taille);
  // One large page beyond the length, so that the zone can start on a large page's boundary.
  void* brute = ::mmap(nullptr, longueur + page_large, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (brute == MAP_FAILED) throw erreur(code_erreur::memoire_insuffisante);
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

void libere_grande(void* zone, size_t taille) noexcept {
  if (taille < page_large)
    std::free(zone);
  else if (zone)
    ::munmap(zone, arrondie(taille));
}

}  // namespace agent
