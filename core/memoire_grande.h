#pragma once
// Memory for a whole picture or a whole page, straight from the system in 2 MB pages where it
// allows them. A page-sized buffer taken in 4 KB pages costs one fault per 4 KB on first touch,
// which on these machines takes longer than reading the whole job file; in 2 MB pages it takes
// a few dozen. The memory comes zeroed, and parts never touched take no resident memory.

#include <cstddef>

namespace agent {

// Below this, reserve_grande takes the allocator's memory, in small pages.
constexpr size_t taille_page_large = size_t{2} << 20;

// At least `taille` bytes, zeroed; "Mémoire insuffisante" when the system refuses them.
void* reserve_grande(size_t taille);
// Gives back what reserve_grande(taille) returned (nullptr: nothing).
void libere_grande(void* zone, size_t taille) noexcept;

// What the system gives, for reserve_grande: `longueur` bytes, a whole number of large pages,
// zeroed; nullptr when it refuses them. Each platform's file defines these
// (os/posix/memoire_grande.cpp).
void* reserve_pages_grandes(size_t longueur) noexcept;
void libere_pages_grandes(void* zone, size_t longueur) noexcept;

}  // namespace agent
