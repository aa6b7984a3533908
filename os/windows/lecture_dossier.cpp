#include "intake/lecture_dossier.h"

#include <windows.h>

#include "core/erreurs_fichiers.h"
#include "os/windows/texte_large.h"

namespace agent {

namespace {

constexpr DWORD attributs_caches = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

class recherche {
public:
  explicit recherche(HANDLE h) : h_(h) {}
  ~recherche() { ::FindClose(h_); }
  recherche(const recherche&) = delete;
  recherche& operator=(const recherche&) = delete;
  HANDLE get() const { return h_; }

private:
  HANDLE h_;
};

}  // namespace

std::vector<std::string> fichiers_dossier(const std::string& dossier, bool (*retenu)(std::string_view nom)) {
  std::wstring motif = large(dossier);
  if (!motif.empty() && motif.back() != L'\\' && motif.back() != L'/') motif += L'\\';
  // Every name, not "*.bmp2": the system's pattern also matches the short 8.3 names, which would
  // bring "x.bmp2x" in through "X~1.BMP". The caller's test reads the long name. No short names
  // asked for, and the server's answers in large batches: a share is read in few round trips.
  motif += L'*';
  WIN32_FIND_DATAW trouve{};
  HANDLE premier = ::FindFirstFileExW(motif.c_str(), FindExInfoBasic, &trouve, FindExSearchNameMatch, nullptr,
                                      FIND_FIRST_EX_LARGE_FETCH);
  std::vector<std::string> noms;
  if (premier == INVALID_HANDLE_VALUE) {
    // A drive's root without a single entry.
    if (::GetLastError() == ERROR_FILE_NOT_FOUND) return noms;
    throw erreur_dossier(derniere_erreur_windows(), dossier);
  }
  const recherche r(premier);
  do {
    // A symbolic link to a file is a reparse point without the folder attribute, and is kept.
    if (trouve.dwFileAttributes & attributs_caches) continue;
    std::string nom = etroit(trouve.cFileName);
    if (retenu(nom)) noms.push_back(std::move(nom));
  } while (::FindNextFileW(r.get(), &trouve));
  if (::GetLastError() != ERROR_NO_MORE_FILES) throw erreur_dossier(derniere_erreur_windows(), dossier);
  return noms;
}

}  // namespace agent
