#pragma once
// A 64-bit digest of bytes, fed piece by piece: enough to tell whether a job file still holds the
// picture its job printed. Not a cryptographic hash: nobody forges job files against it, and it
// runs at memory speed over the largest page.

#include <cstddef>
#include <cstdint>
#include <span>

namespace agent {

class empreinte {
public:
  // Adds `octets` after what came before; the same bytes in other pieces give the same digest.
  void ajoute(std::span<const std::byte> octets);
  // The digest of everything added so far. Throws nothing.
  uint64_t valeur() const;

private:
  uint64_t etat_ = 0x9E3779B97F4A7C15ULL;
  uint64_t longueur_ = 0;
  unsigned char reste_[8] = {};
  size_t nombre_reste_ = 0;
};

}  // namespace agent
