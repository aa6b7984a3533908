#include "intake/verrou_local.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <span>

#include "core/empreinte.h"
#include "core/raison_systeme.h"

namespace agent {

namespace fs = std::filesystem;

namespace {

// The folder as an absolute path without "." or "..": "masques/" started from /home/a and
// "/home/a/masques" are one folder. Resolved as far as it exists (a share not mounted yet).
std::string chemin_absolu(const std::string& dossier) {
  std::error_code ec;
  fs::path chemin = fs::weakly_canonical(fs::absolute(dossier, ec), ec);
  if (ec) chemin = fs::absolute(dossier, ec).lexically_normal();
  std::string texte = chemin.string();
  while (texte.size() > 1 && texte.back() == '/') texte.pop_back();
  return texte;
}

// The user's runtime folder, which the system empties at logout; without one, a folder of the
// user's own in the system's temporary folder, as the desktop's libraries make it.
std::string dossier_execution() {
  if (const char* execution = std::getenv("XDG_RUNTIME_DIR"); execution && *execution) return execution;
  const fs::path dossier = fs::temp_directory_path() / ("runtime-" + std::to_string(::getuid()));
  std::error_code ec;
  if (fs::create_directory(dossier, ec)) fs::permissions(dossier, fs::perms::owner_all, ec);
  return dossier.string();
}

std::string chemin_verrou(const std::string& dossier) {
  const std::string absolu = chemin_absolu(dossier);
  empreinte e;
  e.ajoute(std::as_bytes(std::span(absolu.data(), absolu.size())));
  static constexpr char chiffres[] = "0123456789abcdef";
  std::string nom;
  for (int decalage = 60; decalage >= 0; decalage -= 4) nom += chiffres[(e.valeur() >> decalage) & 0xF];
  return dossier_execution() + "/agent_impression-" + nom + ".verrou";
}

}  // namespace

verrou_local::~verrou_local() {
  if (descripteur_ >= 0) ::close(static_cast<int>(descripteur_));  // the lock goes with it; the file may stay
}

std::optional<erreur> verrou_local::prend(const std::string& dossier) {
  const std::string chemin = chemin_verrou(dossier);
  const int descripteur = ::open(chemin.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (descripteur < 0)
    return erreur(code_erreur::permission_refusee,
                  "verrou local " + chemin + " : " + raison_systeme({errno, std::generic_category()}));
  if (::flock(descripteur, LOCK_EX | LOCK_NB) != 0) {
    const int cause = errno;
    char texte[32] = {};
    const ssize_t lus = ::pread(descripteur, texte, sizeof texte - 1, 0);
    ::close(descripteur);
    if (cause != EWOULDBLOCK)
      return erreur(code_erreur::permission_refusee,
                    "verrou local " + chemin + " : " + raison_systeme({cause, std::generic_category()}));
    const std::string processus = lus > 0 ? std::string(texte, static_cast<size_t>(lus)) : "?";
    return erreur(code_erreur::permission_refusee,
                  "le dossier " + dossier + " est déjà surveillé par un autre agent de ce poste (processus " +
                      processus.substr(0, processus.find('\n')) + ")");
  }
  const std::string processus = std::to_string(::getpid()) + "\n";
  // Should this fail, the lock holds all the same; only the number a second agent names is missing.
  [[maybe_unused]] const bool numero_ecrit =
      ::ftruncate(descripteur, 0) == 0 && ::pwrite(descripteur, processus.data(), processus.size(), 0) > 0;
  descripteur_ = descripteur;
  return std::nullopt;
}

}  // namespace agent
