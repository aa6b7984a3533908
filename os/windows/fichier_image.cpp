#include "image/fichier_image.h"

#include <windows.h>

#include <algorithm>

#include "core/erreurs_fichiers.h"
#include "os/windows/texte_large.h"

namespace agent {

namespace {

HANDLE poignee_de(intptr_t poignee) { return reinterpret_cast<HANDLE>(poignee); }

// ReadFile takes at most a DWORD of bytes a call; a gigabyte a call leaves it room.
constexpr size_t octets_par_appel = size_t{1} << 30;

// Up to `taille` bytes from `position` into `octets`; the number read, fewer only where the file
// ends or a read fails. The handle is synchronous: the OVERLAPPED structure only carries the
// position, and no call moves a shared file pointer, so that reads never depend on one another.
size_t lit_a(HANDLE fichier, int64_t position, uint8_t* octets, size_t taille) {
  size_t lus = 0;
  while (lus < taille) {
    const auto decalage = static_cast<uint64_t>(position) + lus;
    OVERLAPPED ou{};
    ou.Offset = static_cast<DWORD>(decalage & 0xFFFFFFFF);
    ou.OffsetHigh = static_cast<DWORD>(decalage >> 32);
    DWORD n = 0;
    const auto demande = static_cast<DWORD>(std::min(taille - lus, octets_par_appel));
    // Past the end, ReadFile fails with ERROR_HANDLE_EOF or reads nothing.
    if (!::ReadFile(fichier, octets + lus, demande, &n, &ou) || n == 0) break;
    lus += n;
  }
  return lus;
}

}  // namespace

fichier_image::fichier_image(const std::string& chemin) : chemin_(chemin) {
  // Sharing reading, writing and deletion, as an open file on Linux stops nobody: the agent reads
  // a job file only once the settle wait has seen no writer, but a handle that did not share
  // writing would then make a program that comes back to rewrite the file fail on a sharing
  // violation, and one that did not share deletion would keep an operator from removing or
  // renaming it, on this workstation or through the share from another, for as long as the
  // decoding lasts. A file that shrinks meanwhile reads short, which the decoders refuse. The
  // handle writes nothing, so it never makes another agent's settle wait (an open that does not
  // share writing) take the file for one still being written.
  HANDLE fichier =
      ::CreateFileW(large(chemin).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (fichier == INVALID_HANDLE_VALUE) throw erreur_fichier(derniere_erreur_windows(), chemin);
  poignee_ = reinterpret_cast<intptr_t>(fichier);
}

fichier_image::~fichier_image() { ::CloseHandle(poignee_de(poignee_)); }

int64_t fichier_image::taille() const {
  LARGE_INTEGER taille{};
  if (!::GetFileSizeEx(poignee_de(poignee_), &taille)) throw erreur_fichier(derniere_erreur_windows(), chemin_);
  return taille.QuadPart;
}

size_t fichier_image::lit(int64_t position, std::span<uint8_t> octets) const {
  return lit_a(poignee_de(poignee_), position, octets.data(), octets.size());
}

bool fichier_image::lit_zones(int64_t position, std::span<const std::span<uint8_t>> zones) const {
  // Windows has no read into many buffers for a handle like this one (ReadFileScatter wants whole
  // pages, unbuffered), so zones that follow one another in memory go in one read: the rows of a
  // top-down bitmap, read into the picture in order. A bottom-up bitmap's rows go backwards in
  // memory and take one read each.
  for (size_t i = 0; i < zones.size();) {
    uint8_t* const debut = zones[i].data();
    size_t taille = zones[i].size();
    for (++i; i < zones.size() && zones[i].data() == debut + taille; ++i) taille += zones[i].size();
    if (lit_a(poignee_de(poignee_), position, debut, taille) != taille) return false;
    position += static_cast<int64_t>(taille);
  }
  return true;
}

}  // namespace agent
