#include <windows.h>

#include "intake/fichiers_verrou.h"
#include "intake/releve_stabilite.h"
#include "os/windows/texte_large.h"

namespace agent {

namespace {

// `contenu` into `fichier`, then closed; on failure the file `chemin` is removed.
void remplit(HANDLE fichier, const std::wstring& chemin, const std::string& contenu, std::error_code& ec) {
  DWORD ecrits = 0;
  const bool ecrit = ::WriteFile(fichier, contenu.data(), static_cast<DWORD>(contenu.size()), &ecrits, nullptr) &&
                     ecrits == contenu.size();
  const std::error_code cause = derniere_erreur_windows();
  const bool ferme = ::CloseHandle(fichier);
  if (ferme && ecrit) return;
  ec = ecrit ? derniere_erreur_windows() : cause;
  ::DeleteFileW(chemin.c_str());
}

// Others may read and delete the file while this agent writes it, as they may on Linux; only
// writing is kept to this handle.
HANDLE ouvre_en_ecriture(const std::wstring& chemin, DWORD creation) {
  return ::CreateFileW(chemin.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, creation,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

bool ouvert_en_ecriture(const std::string& chemin) {
  // An open for reading that shares reading (and deletion) but not writing is refused with a
  // sharing violation while any handle on the file can write to it, and a file server checks that
  // against every workstation's handles, not only this one's. A program that holds the file
  // without letting others read it is refused the same way, and is not done with it either.
  HANDLE fichier = ::CreateFileW(large(chemin).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (fichier == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_SHARING_VIOLATION;
  ::CloseHandle(fichier);
  return false;
}

std::optional<std::string> lit_petit_fichier(const std::string& chemin, std::error_code& ec) {
  ec.clear();
  // Sharing everything: a lock another agent is writing or replacing stays readable.
  HANDLE fichier =
      ::CreateFileW(large(chemin).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (fichier == INVALID_HANDLE_VALUE) {
    const DWORD cause = ::GetLastError();
    if (cause != ERROR_FILE_NOT_FOUND && cause != ERROR_PATH_NOT_FOUND) ec = derniere_erreur_windows();
    return std::nullopt;
  }
  std::string contenu;
  char morceau[512];
  DWORD lus = 0;
  bool lu = false;
  while ((lu = ::ReadFile(fichier, morceau, sizeof morceau, &lus, nullptr)) && lus > 0 && contenu.size() < 4096)
    contenu.append(morceau, lus);
  if (!lu) ec = derniere_erreur_windows();
  ::CloseHandle(fichier);
  if (ec) return std::nullopt;
  return contenu;
}

bool cree_seul(const std::string& chemin, const std::string& contenu, std::error_code& ec) {
  ec.clear();
  const std::wstring nom = large(chemin);
  HANDLE fichier = ouvre_en_ecriture(nom, CREATE_NEW);
  if (fichier == INVALID_HANDLE_VALUE) {
    const DWORD cause = ::GetLastError();
    if (cause != ERROR_FILE_EXISTS && cause != ERROR_ALREADY_EXISTS) ec = derniere_erreur_windows();
    return false;
  }
  remplit(fichier, nom, contenu, ec);
  return !ec;
}

void ecrit_entier(const std::string& chemin, const std::string& contenu, std::error_code& ec) {
  ec.clear();
  const std::wstring nom = large(chemin);
  HANDLE fichier = ouvre_en_ecriture(nom, CREATE_ALWAYS);
  if (fichier == INVALID_HANDLE_VALUE) {
    ec = derniere_erreur_windows();
    return;
  }
  remplit(fichier, nom, contenu, ec);
}

void remplace(const std::string& source, const std::string& cible, std::error_code& ec) {
  ec.clear();
  // Through to the disk or the server before it returns, as a rename is on Linux once made.
  if (!::MoveFileExW(large(source).c_str(), large(cible).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    ec = derniere_erreur_windows();
}

}  // namespace agent
