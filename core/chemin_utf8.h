#pragma once
// Paths to and from the agent's UTF-8 text. std::filesystem::path reads a std::string in the
// system's narrow encoding: UTF-8 on Linux, but the ANSI code page on Windows, where "é" would name
// another file. Every path the portable code makes from its text, or text it makes from a path,
// goes through these two.

#include <filesystem>
#include <string>

namespace agent {

// The path that the UTF-8 text `texte` names. On Linux the bytes as they are, valid UTF-8 or not.
// On Windows, text that is not UTF-8 is the error acces_fichier naming it.
std::filesystem::path chemin_utf8(const std::string& texte);

// The path as UTF-8 text. On Linux its bytes as they are; on Windows, a name that is not valid
// UTF-16 is the error acces_fichier.
std::string texte_utf8(const std::filesystem::path& chemin);

}  // namespace agent
