#include "app/win32/journal_fichier.h"

#include <windows.h>

#include <cstdio>

namespace agent {

journal_fichier::journal_fichier(std::wstring dossier, uint64_t limite)
    : courant_(dossier + L"\\journal.txt"), ancien_(dossier + L"\\journal.1.txt"), limite_(limite) {
  ::CreateDirectoryW(dossier.c_str(), nullptr);  // already there, or the first line is lost
}

void journal_fichier::ajoute(const char* niveau, const char* ligne) const {
  WIN32_FILE_ATTRIBUTE_DATA attributs{};
  if (::GetFileAttributesExW(courant_.c_str(), GetFileExInfoStandard, &attributs) &&
      (static_cast<uint64_t>(attributs.nFileSizeHigh) << 32 | attributs.nFileSizeLow) >= limite_)
    ::MoveFileExW(courant_.c_str(), ancien_.c_str(), MOVEFILE_REPLACE_EXISTING);
  HANDLE fichier =
      ::CreateFileW(courant_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (fichier == INVALID_HANDLE_VALUE) return;
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  char date[32];
  std::snprintf(date, sizeof date, "%04u-%02u-%02u %02u:%02u:%02u ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                t.wSecond);
  const std::string texte = std::string(date) + niveau + " : " + ligne + "\r\n";
  DWORD ecrits = 0;
  ::WriteFile(fichier, texte.data(), static_cast<DWORD>(texte.size()), &ecrits, nullptr);
  ::CloseHandle(fichier);
}

}  // namespace agent
