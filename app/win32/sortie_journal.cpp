#include "app/win32/sortie_journal.h"

#include <windows.h>

#include <optional>

#include "app/win32/journal_fichier.h"
#include "core/journal.h"
#include "os/windows/dossier_local.h"
#include "os/windows/texte_large.h"

namespace agent {

namespace {

constexpr const wchar_t* source_evenements = L"agent_impression";
constexpr const wchar_t* cle_source = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\agent_impression";
constexpr DWORD evenement_ligne = 1;  // messages.mc

// The record's sink is a plain function (core/journal.h): where it writes is chosen once, at
// start-up, and kept for the process's life here.
struct destination {
  HANDLE erreur_standard = nullptr;
  HANDLE evenements = nullptr;
  std::optional<journal_fichier> fichier;
};

destination& choisie() {
  static destination d;
  return d;
}

HANDLE erreur_standard_attachee() {
  HANDLE h = ::GetStdHandle(STD_ERROR_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return nullptr;
  const DWORD type = ::GetFileType(h);
  return type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE || type == FILE_TYPE_DISK ? h : nullptr;
}

// RegisterEventSourceW succeeds for any name, and the viewer then shows the lines as "the
// description cannot be found": only a source the installer registered is used.
bool source_enregistree() {
  HKEY cle = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, cle_source, 0, KEY_READ, &cle) != ERROR_SUCCESS) return false;
  ::RegCloseKey(cle);
  return true;
}

WORD type_evenement(niveau_journal niveau) {
  switch (niveau) {
    case niveau_journal::critique: return EVENTLOG_ERROR_TYPE;
    case niveau_journal::avertissement: return EVENTLOG_WARNING_TYPE;
    case niveau_journal::debug:
    case niveau_journal::info: return EVENTLOG_INFORMATION_TYPE;
  }
  return EVENTLOG_INFORMATION_TYPE;
}

const char* nom_niveau(niveau_journal niveau) {
  switch (niveau) {
    case niveau_journal::critique: return "critique";
    case niveau_journal::avertissement: return "avertissement";
    case niveau_journal::debug: return "debug";
    case niveau_journal::info: return "info";
  }
  return "info";
}

void vers_erreur_standard(HANDLE h, const char* ligne) {
  const std::string texte = std::string("agent_impression : ") + ligne + "\n";
  DWORD ecrits = 0, mode = 0;
  // A real console shows UTF-16; anything else (a pipe, a file, Wine's terminal) gets UTF-8 bytes.
  if (::GetConsoleMode(h, &mode)) {
    const std::wstring large_texte = large(texte);
    ::WriteConsoleW(h, large_texte.data(), static_cast<DWORD>(large_texte.size()), &ecrits, nullptr);
  } else {
    ::WriteFile(h, texte.data(), static_cast<DWORD>(texte.size()), &ecrits, nullptr);
  }
}

void ecrit(niveau_journal niveau, const char* ligne) {
  destination& d = choisie();
  if (d.erreur_standard) {
    vers_erreur_standard(d.erreur_standard, ligne);
  } else if (d.evenements) {
    const std::wstring texte = large(ligne);
    const wchar_t* chaines[] = {texte.c_str()};
    ::ReportEventW(d.evenements, type_evenement(niveau), 0, evenement_ligne, nullptr, 1, 0, chaines, nullptr);
  } else if (d.fichier) {
    d.fichier->ajoute(nom_niveau(niveau), ligne);
  }
}

}  // namespace

void installe_sortie_journal() {
  destination& d = choisie();
  d.erreur_standard = erreur_standard_attachee();
  if (!d.erreur_standard && source_enregistree()) d.evenements = ::RegisterEventSourceW(nullptr, source_evenements);
  if (!d.erreur_standard && !d.evenements) d.fichier.emplace(dossier_local());
  installe_sortie(ecrit, false);
}

}  // namespace agent
