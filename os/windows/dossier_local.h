#pragma once
// The agent's folder in the user's own local application data, which roams to no other
// workstation: %LOCALAPPDATA%\agent_impression (the temporary folder's when the profile has
// none). It holds the workstation's locks and, without an event log source, the record.

#include <windows.h>

#include <string>

namespace agent {

// Made when missing; one that cannot be made is left for the first file made in it to report.
inline std::wstring dossier_local() {
  wchar_t dossier[MAX_PATH] = {};
  DWORD longueur = ::GetEnvironmentVariableW(L"LOCALAPPDATA", dossier, MAX_PATH);
  if (longueur == 0 || longueur >= MAX_PATH) longueur = ::GetTempPathW(MAX_PATH, dossier);
  std::wstring chemin(dossier, longueur);
  if (!chemin.empty() && chemin.back() != L'\\') chemin += L'\\';
  chemin += L"agent_impression";
  ::CreateDirectoryW(chemin.c_str(), nullptr);
  return chemin;
}

}  // namespace agent
