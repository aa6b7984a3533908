#include <windows.h>

#include <cstdlib>

#include "intake/poste.h"
#include "os/windows/texte_large.h"

namespace agent {

std::string nom_poste() {
  wchar_t nom[256] = {};
  DWORD longueur = sizeof nom / sizeof nom[0];
  if (!::GetComputerNameExW(ComputerNameDnsHostname, nom, &longueur)) return {};
  return etroit(std::wstring(nom, longueur));
}

// The identifier Windows makes at installation, which neither a restart nor a rename changes.
// From the 64-bit registry view, whatever this program's width.
std::string identifiant_machine() {
  wchar_t identifiant[64] = {};
  DWORD taille = sizeof identifiant;
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Cryptography", L"MachineGuid",
                     RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, identifiant, &taille) != ERROR_SUCCESS)
    return {};
  return etroit(identifiant);
}

std::string numero_processus() { return std::to_string(::GetCurrentProcessId()); }

bool processus_disparu(const std::string& numero) {
  char* fin = nullptr;
  const unsigned long long pid = std::strtoull(numero.c_str(), &fin, 10);
  if (numero.empty() || numero.front() == '-' || *fin != '\0' || pid == 0 || pid > MAXDWORD) return false;
  if (pid == ::GetCurrentProcessId()) return true;
  HANDLE processus = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  // No such process is an invalid parameter; one of another user's that refuses even this query
  // exists.
  if (!processus) return ::GetLastError() == ERROR_INVALID_PARAMETER;
  // A process that has ended lives on as long as someone holds a handle on it, and then has its
  // exit code; a running one answers STILL_ACTIVE.
  DWORD code = 0;
  const bool fini = ::GetExitCodeProcess(processus, &code) && code != STILL_ACTIVE;
  ::CloseHandle(processus);
  return fini;
}

}  // namespace agent
