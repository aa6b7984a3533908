#include "core/memoire_grande.h"

#include <cstdlib>

#include "core/erreur.h"

namespace agent {

namespace {

size_t arrondie(size_t taille) { return (taille + taille_page_large - 1) / taille_page_large * taille_page_large; }

}  // namespace

void* reserve_grande(size_t taille) {
  // Below one large page, the allocator serves better, and touching a byte costs no more than 4 KB.
  if (taille < taille_page_large) {
    void* petite = std::calloc(taille == 0 ? 1 : taille, 1);
    if (!petite) throw erreur(code_erreur::memoire_insuffisante);
    return petite;
  }
  void* zone = reserve_pages_grandes(arrondie(taille));
  if (!zone) throw erreur(code_erreur::memoire_insuffisante);
  return zone;
}

void libere_grande(void* zone, size_t taille) noexcept {
  if (taille < taille_page_large)
    std::free(zone);
  else if (zone)
    libere_pages_grandes(zone, arrondie(taille));
}

}  // namespace agent
