#include "core/empreinte.h"

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

uint64_t absorbe(uint64_t etat, uint64_t m) { return (etat ^ melange(m)) * multiplicateur + 0x2545F4914F6CDD1DULL; }

}  // namespace

void empreinte::ajoute(std::span<const std::byte> octets) {
  const auto* p = reinterpret_cast<const unsigned char*>(octets.data());
  size_t n = octets.size();
  longueur_ += n;
  if (nombre_reste_ > 0) {
    const size_t pris = std::min(n, sizeof reste_ - nombre_reste_);
    std::memcpy(reste_ + nombre_reste_, p, pris);
    nombre_reste_ += pris;
    p += pris;
    n -= pris;
    if (nombre_reste_ < sizeof reste_) return;
    etat_ = absorbe(etat_, mot(reste_));
    nombre_reste_ = 0;
  }
  for (; n >= 8; p += 8, n -= 8) etat_ = absorbe(etat_, mot(p));
  std::memcpy(reste_, p, n);
  nombre_reste_ = n;
}

uint64_t empreinte::valeur() const {
  unsigned char dernier[8] = {};
  std::memcpy(dernier, reste_, nombre_reste_);
  return melange(absorbe(absorbe(etat_, mot(dernier)), longueur_));
}

}  // namespace agent
