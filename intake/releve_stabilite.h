#pragma once
// Whether a job file has settled. A file still being copied into the watched folder (written in
// place at its full size, as Windows Explorer does over a share, or appended to) must be left for
// a later poll: printed now it comes out wrong and is deleted, refused now it stops the agent.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace agent {

// How long a poll that has work waits between its two looks at its files. Longer than the one
// second for which a CIFS mount caches a file's size and time by default, so that the second
// look sees the server's state again; short next to the 10 s between polls.
inline constexpr std::chrono::milliseconds attente_stabilisation{1500};

struct etat_fichier {
  std::uintmax_t taille = 0;
  std::filesystem::file_time_type modification;
  bool operator==(const etat_fichier&) const = default;
};

// The size and modification time of the file at `chemin`, a symbolic link followed; nothing
// when it is gone. A file out of reach is the error erreur_fichier gives.
std::optional<etat_fichier> etat_de(const std::string& chemin);

// True when another program holds the file open for writing, where the platform can tell; false
// where it cannot. Each platform's file defines it (os/posix/fichiers.cpp).
bool ouvert_en_ecriture(const std::string& chemin);

}  // namespace agent
