#include "core/chemin_utf8.h"

#include <system_error>

#include "core/erreur.h"

namespace agent {

// Where the native encoding is UTF-8 the standard library copies the bytes both ways; elsewhere
// it converts, and throws on what does not convert.
std::filesystem::path chemin_utf8(const std::string& texte) {
  try {
    return std::filesystem::path(std::u8string(texte.begin(), texte.end()));
  } catch (const std::system_error&) {
    throw erreur(code_erreur::acces_fichier, texte + " : nom qui n'est pas de l'UTF-8");
  }
}

std::string texte_utf8(const std::filesystem::path& chemin) {
  try {
    const std::u8string texte = chemin.u8string();
    return std::string(texte.begin(), texte.end());
  } catch (const std::system_error&) {
    throw erreur(code_erreur::acces_fichier, "nom de fichier qui n'est pas de l'Unicode valide");
  }
}

}  // namespace agent
