#pragma once
// A job file as the decoders read it: by position, and many rows at a call straight into the
// picture's own rows. Each platform's file defines it (os/posix/fichier_image.cpp).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace agent {

class fichier_image {
public:
  // Opens `chemin`, whatever bytes its name holds, for reading; erreur_fichier with the system's
  // error when it cannot.
  explicit fichier_image(const std::string& chemin);
  ~fichier_image();
  fichier_image(const fichier_image&) = delete;
  fichier_image& operator=(const fichier_image&) = delete;

  // The file's size now; erreur_fichier when the system cannot tell.
  int64_t taille() const;
  // Up to `octets.size()` bytes from `position`; the number read, fewer only where the file ends
  // (or where a read fails: to the decoders, a file cut short).
  size_t lit(int64_t position, std::span<uint8_t> octets) const;
  // The bytes from `position` on into each of `zones` in turn, each filled whole; false when the
  // file ends, or a read fails, first. A thousand rows or so a call cost the system a few calls.
  bool lit_zones(int64_t position, std::span<const std::span<uint8_t>> zones) const;

private:
  std::string chemin_;
  intptr_t poignee_;  // the platform's own: a descriptor, a handle
};

}  // namespace agent
