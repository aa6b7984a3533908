#include "intake/verrou_local.h"

#include <windows.h>

#include <filesystem>
#include <span>

#include "core/casse_unicode.h"
#include "core/chemin_utf8.h"
#include "core/empreinte.h"
#include "core/raison_systeme.h"
#include "os/windows/dossier_local.h"
#include "os/windows/texte_large.h"

namespace agent {

namespace fs = std::filesystem;

namespace {

// The folder as an absolute path without "." or "..", in capitals since Windows's file systems
// ignore case: "masques\" started from C:\a and "c:/A/Masques" are one folder. Resolved as far
// as it exists (a share not reachable yet).
std::string chemin_absolu(const std::string& dossier) {
  std::error_code ec;
  const fs::path demande = chemin_utf8(dossier);
  fs::path chemin = fs::weakly_canonical(fs::absolute(demande, ec), ec);
  if (ec) chemin = fs::absolute(demande, ec).lexically_normal();
  std::string texte = texte_utf8(chemin.make_preferred());
  while (texte.size() > 1 && texte.back() == '\\') texte.pop_back();
  return majuscules(texte);
}

std::wstring chemin_verrou(const std::string& dossier) {
  const std::string absolu = chemin_absolu(dossier);
  empreinte e;
  e.ajoute(std::as_bytes(std::span(absolu.data(), absolu.size())));
  static constexpr wchar_t chiffres[] = L"0123456789abcdef";
  std::wstring nom;
  for (int decalage = 60; decalage >= 0; decalage -= 4) nom += chiffres[(e.valeur() >> decalage) & 0xF];
  return dossier_local() + L"\\" + nom + L".verrou";
}

// The number the holder wrote, read through a handle that lets it keep writing.
std::string processus_titulaire(const std::wstring& chemin) {
  HANDLE fichier = ::CreateFileW(chemin.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (fichier == INVALID_HANDLE_VALUE) return "?";
  char texte[32] = {};
  DWORD lus = 0;
  const bool lu = ::ReadFile(fichier, texte, sizeof texte - 1, &lus, nullptr);
  ::CloseHandle(fichier);
  const std::string processus = lu && lus > 0 ? std::string(texte, lus) : "?";
  return processus.substr(0, processus.find_first_of("\r\n"));
}

}  // namespace

verrou_local::~verrou_local() {
  // The lock goes with the handle, which Windows closes with its process however it ends; the
  // file may stay.
  if (descripteur_ >= 0) ::CloseHandle(reinterpret_cast<HANDLE>(descripteur_));
}

std::optional<erreur> verrou_local::prend(const std::string& dossier) {
  const std::wstring chemin = chemin_verrou(dossier);
  // The holder's handle writes and lets others only read: a second agent's open, which asks to
  // write too, meets a sharing violation as long as this one lives.
  HANDLE fichier = ::CreateFileW(chemin.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (fichier == INVALID_HANDLE_VALUE) {
    const std::error_code cause = derniere_erreur_windows();
    if (cause.value() != ERROR_SHARING_VIOLATION)
      return erreur(code_erreur::permission_refusee, "verrou local " + etroit(chemin) + " : " + raison_systeme(cause));
    return erreur(code_erreur::permission_refusee,
                  "le dossier " + dossier + " est déjà surveillé par un autre agent de ce poste (processus " +
                      processus_titulaire(chemin) + ")");
  }
  const std::string processus = std::to_string(::GetCurrentProcessId()) + "\n";
  // Should this fail, the lock holds all the same; only the number a second agent names is missing.
  DWORD ecrits = 0;
  [[maybe_unused]] const bool numero_ecrit =
      ::SetEndOfFile(fichier) &&
      ::WriteFile(fichier, processus.data(), static_cast<DWORD>(processus.size()), &ecrits, nullptr);
  descripteur_ = reinterpret_cast<std::intptr_t>(fichier);
  return std::nullopt;
}

}  // namespace agent
