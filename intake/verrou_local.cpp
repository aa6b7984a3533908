#include "intake/verrou_local.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <filesystem>

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

std::string chemin_verrou(const std::string& dossier) {
  const std::string absolu = chemin_absolu(dossier);
  const QByteArray empreinte =
      QCryptographicHash::hash(QByteArray::fromStdString(absolu), QCryptographicHash::Sha256).toHex().left(32);
  // Qt gives no runtime folder when the one it would make is not the user's own; the system's
  // temporary folder then serves, where every user's agent meets the others'.
  std::string dossier_execution = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation).toStdString();
  if (dossier_execution.empty()) dossier_execution = fs::temp_directory_path().string();
  return dossier_execution + "/agent_impression-" + empreinte.toStdString() + ".verrou";
}

}  // namespace

verrou_local::~verrou_local() {
  if (descripteur_ >= 0) ::close(descripteur_);  // the lock goes with it; the file may stay
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
