#pragma once
// The job files of the watched folder, as one poll sees them.

#include <cstddef>
#include <string>
#include <vector>

namespace agent {

// The poll counts its jobs in a 16-bit signed integer; the rest wait for a later poll.
inline constexpr std::size_t travaux_par_releve = 32767;

// Names (the file system's bytes) of the regular files, symbolic links to one included, whose
// name ends in ".bmp2" in any letter case, dot files and what the system hides (hidden and system
// files on Windows) left out; ordered by name ignoring case, names equal but for case by their
// bytes; the first travaux_par_releve of them. A folder that is missing, not a folder or
// unreadable is an error naming it.
std::vector<std::string> liste_travaux(const std::string& dossier);

}  // namespace agent
