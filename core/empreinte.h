#pragma once
// A 64-bit digest of bytes, fed piece by piece: enough to tell whether a job file still holds the
// picture its job printed. Not a cryptographic hash: nobody forges job files against it, and it
// runs at memory speed over the largest page (four independent lanes of 64-bit words).

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
  static constexpr size_t bloc = 32;  // one 64-bit word for each lane
  uint64_t voies_[4] = {0x9E3779B97F4A7C15ULL, 0xC2B2AE3D27D4EB4FULL, 0x165667B19E3779F9ULL, 0x27D4EB2F165667C5ULL};
  uint64_t longueur_ = 0;
  unsigned char reste_[bloc] = {};
  size_t nombre_reste_ = 0;
};

}  // namespace agent
