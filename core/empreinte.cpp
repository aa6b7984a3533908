#include "core/empreinte.h"

#include <algorithm>
#include <cstring>

namespace agent {

namespace {

constexpr uint64_t multiplicateur = 0xD6E8FEB86659FD93ULL;

uint64_t melange(uint64_t x) {
  x ^= x >> 32;
  x *= multiplicateur;
  x ^= x >> 32;
  x *= multiplicateur;
  return x ^ (x >> 32);
}

uint64_t mot(const unsigned char* p) {
  uint64_t m = 0;
  std::memcpy(&m, p, sizeof m);
  return m;
}

// One word into one lane: two multiplications, the lanes independent of each other.
uint64_t absorbe(uint64_t voie, uint64_t m) {
  voie += m * 0xC2B2AE3D27D4EB4FULL;
  voie = (voie << 31) | (voie >> 33);
  return voie * 0x9E3779B185EBCA87ULL;
}

void absorbe_bloc(uint64_t (&voies)[4], const unsigned char* p) {
  for (size_t i = 0; i < 4; ++i) voies[i] = absorbe(voies[i], mot(p + 8 * i));
}

}  // namespace

void empreinte::ajoute(std::span<const std::byte> octets) {
  const auto* p = reinterpret_cast<const unsigned char*>(octets.data());
  size_t n = octets.size();
  longueur_ += n;
  if (nombre_reste_ > 0) {
    const size_t pris = std::min(n, bloc - nombre_reste_);
    std::memcpy(reste_ + nombre_reste_, p, pris);
    nombre_reste_ += pris;
    p += pris;
    n -= pris;
    if (nombre_reste_ < bloc) return;
    absorbe_bloc(voies_, reste_);
    nombre_reste_ = 0;
  }
  for (; n >= bloc; p += bloc, n -= bloc) absorbe_bloc(voies_, p);
  std::memcpy(reste_, p, n);
  nombre_reste_ = n;
}

uint64_t empreinte::valeur() const {
  uint64_t voies[4] = {voies_[0], voies_[1], voies_[2], voies_[3]};
  unsigned char dernier[bloc] = {};
  std::memcpy(dernier, reste_, nombre_reste_);
  absorbe_bloc(voies, dernier);
  uint64_t resultat = longueur_;
  for (const uint64_t v : voies) resultat = melange(resultat ^ melange(v));
  return resultat;
}

}  // namespace agent
