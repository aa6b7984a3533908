#pragma once
// The agent's UTF-8 text to and from the UTF-16 of Windows's wide-character calls, for the files of
// os/windows, app/win32 and gdi.

#include <windows.h>

#include <string>
#include <system_error>

namespace agent {

// Text that is not UTF-8 becomes "?", a name that no file can have: the call it is given to fails
// with ERROR_INVALID_NAME instead of naming another file.
inline std::wstring large(const std::string& texte) {
  if (texte.empty()) return {};
  const int taille = static_cast<int>(texte.size());
  const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, texte.data(), taille, nullptr, 0);
  if (n <= 0) return L"?";
  std::wstring resultat(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, texte.data(), taille, resultat.data(), n);
  return resultat;
}

inline std::string etroit(const std::wstring& texte) {
  if (texte.empty()) return {};
  const int taille = static_cast<int>(texte.size());
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, texte.data(), taille, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string resultat(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, texte.data(), taille, resultat.data(), n, nullptr, nullptr);
  return resultat;
}

// What the last failed call of this thread said, as the error codes of the core read it.
inline std::error_code derniere_erreur_windows() {
  return {static_cast<int>(::GetLastError()), std::system_category()};
}

}  // namespace agent
