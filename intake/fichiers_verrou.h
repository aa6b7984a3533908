#pragma once
// The few file operations the folder's lock needs beyond std::filesystem, as the platform's file
// system does them (os/posix/fichiers.cpp): an exclusive creation, and whole small files written
// and read with the system's own error. Each failure is reported in `ec`; none throws but
// std::bad_alloc.

#include <optional>
#include <string>
#include <system_error>

namespace agent {

// The first 4 KB or so of the file at `chemin`; nothing when there is none (ec clear) or when it
// cannot be read (ec set).
std::optional<std::string> lit_petit_fichier(const std::string& chemin, std::error_code& ec);

// Makes the file `chemin` holding `contenu`, unless a file of that name exists: then false, ec
// clear. A file made but not written whole is removed.
bool cree_seul(const std::string& chemin, const std::string& contenu, std::error_code& ec);

// The file `chemin`, made or emptied, then holding `contenu`. A file not written whole is removed.
void ecrit_entier(const std::string& chemin, const std::string& contenu, std::error_code& ec);

// `source` renamed over `cible`, which it replaces in one step for every reader.
void remplace(const std::string& source, const std::string& cible, std::error_code& ec);

}  // namespace agent
