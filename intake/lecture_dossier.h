#pragma once
// How the platform reads the watched folder for its job files (os/posix/lecture_dossier.cpp,
// os/windows/lecture_dossier.cpp); choosing and ordering them is liste_travaux's.

#include <string>
#include <string_view>
#include <vector>

namespace agent {

// Names (UTF-8) of the files of `dossier` that `retenu` accepts and that are regular files, a
// symbolic link to one included, leaving out what the system hides from a listing (hidden and
// system files on Windows); in the file system's order. A folder that is missing, not a folder
// or unreadable is erreur_dossier naming it; a file that vanishes while it is looked at is simply
// not listed.
std::vector<std::string> fichiers_dossier(const std::string& dossier, bool (*retenu)(std::string_view nom));

}  // namespace agent
