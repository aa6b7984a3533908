#include "image/fichier_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <system_error>

#include "core/erreurs_fichiers.h"

namespace agent {

namespace {

int descripteur(intptr_t poignee) { return static_cast<int>(poignee); }

}  // namespace

fichier_image::fichier_image(const std::string& chemin) : chemin_(chemin) {
  // By the path's very bytes, so that any name the file system holds opens.
  const int d = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC);
  if (d < 0) throw erreur_fichier({errno, std::generic_category()}, chemin);
  poignee_ = d;
}

fichier_image::~fichier_image() { ::close(descripteur(poignee_)); }

int64_t fichier_image::taille() const {
  struct stat etat {};
  if (::fstat(descripteur(poignee_), &etat) != 0) throw erreur_fichier({errno, std::generic_category()}, chemin_);
  return etat.st_size;
}

size_t fichier_image::lit(int64_t position, std::span<uint8_t> octets) const {
  size_t lus = 0;
  while (lus < octets.size()) {
    const ssize_t n = ::pread(descripteur(poignee_), octets.data() + lus, octets.size() - lus,
                              static_cast<off_t>(position) + static_cast<off_t>(lus));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    lus += static_cast<size_t>(n);
  }
  return lus;
}

bool fichier_image::lit_zones(int64_t position, std::span<const std::span<uint8_t>> zones) const {
  // The zones go to the system IOV_MAX at a time; a read that stops inside one goes on from there.
  std::array<iovec, IOV_MAX> lignes{};
  auto decalage = static_cast<off_t>(position);
  for (size_t debut = 0; debut < zones.size();) {
    const size_t nombre = std::min(zones.size() - debut, lignes.size());
    for (size_t i = 0; i < nombre; ++i) lignes[i] = {zones[debut + i].data(), zones[debut + i].size()};
    size_t premiere = 0;
    while (premiere < nombre) {
      const ssize_t lus =
          ::preadv(descripteur(poignee_), lignes.data() + premiere, static_cast<int>(nombre - premiere), decalage);
      if (lus < 0 && errno == EINTR) continue;
      if (lus <= 0) return false;
      decalage += lus;
      // Past the zones read whole; a zone read in part goes on from where it stopped.
      for (auto reste = static_cast<size_t>(lus); reste > 0;) {
        iovec& ligne = lignes[premiere];
        const size_t pris = std::min(reste, ligne.iov_len);
        ligne.iov_base = static_cast<char*>(ligne.iov_base) + pris;
        ligne.iov_len -= pris;
        reste -= pris;
        if (ligne.iov_len == 0) ++premiere;
      }
      // Zones of no bytes are done without a read.
      while (premiere < nombre && lignes[premiere].iov_len == 0) ++premiere;
    }
    debut += nombre;
  }
  return true;
}

}  // namespace agent
