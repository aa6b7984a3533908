#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "intake/fichiers_verrou.h"
#include "intake/releve_stabilite.h"

namespace agent {

namespace {

std::error_code derniere_erreur() { return {errno, std::generic_category()}; }

// `contenu` into `descripteur`, then closed; on failure the file `chemin` is removed.
void remplit(int descripteur, const std::string& chemin, const std::string& contenu, std::error_code& ec) {
  const bool ecrit = ::write(descripteur, contenu.data(), contenu.size()) == static_cast<ssize_t>(contenu.size());
  const int cause = errno;
  if (::close(descripteur) == 0 && ecrit) return;
  ec = {ecrit ? errno : cause, std::generic_category()};
  ::unlink(chemin.c_str());
}

}  // namespace

bool ouvert_en_ecriture(const std::string& chemin) {
  // The kernel refuses a read lease (EAGAIN) while any descriptor on the file is open for writing.
  // It grants one only to the file's owner or a process with CAP_LEASE (EACCES otherwise), and a
  // network file system may not grant one at all (EINVAL), nor see another client's writer: the
  // kernel cannot tell then, and the settle wait and the deletion decide. Nonblocking: a write
  // lease someone else holds (a file server caching a client's writes) fails the open at once
  // instead of stalling the poll, and such a file is still being written.
  const int descripteur = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (descripteur < 0) return errno == EWOULDBLOCK;
  // A writer opening the file while the lease is held breaks it, and the kernel tells the holder
  // with SIGIO by default, which would end the agent: a signal ignored by default instead.
  ::fcntl(descripteur, F_SETSIG, SIGURG);
  const bool ecrit = ::fcntl(descripteur, F_SETLEASE, F_RDLCK) != 0 && errno == EAGAIN;
  ::close(descripteur);  // and with it the lease: the writer's open waits no longer
  return ecrit;
}

std::optional<std::string> lit_petit_fichier(const std::string& chemin, std::error_code& ec) {
  ec.clear();
  const int descripteur = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC);
  if (descripteur < 0) {
    if (errno != ENOENT && errno != ENOTDIR) ec = derniere_erreur();
    return std::nullopt;
  }
  std::string contenu;
  char morceau[512];
  ssize_t lus = 0;
  while ((lus = ::read(descripteur, morceau, sizeof morceau)) > 0 && contenu.size() < 4096)
    contenu.append(morceau, static_cast<size_t>(lus));
  if (lus < 0) ec = derniere_erreur();
  ::close(descripteur);
  if (ec) return std::nullopt;
  return contenu;
}

bool cree_seul(const std::string& chemin, const std::string& contenu, std::error_code& ec) {
  ec.clear();
  const int descripteur = ::open(chemin.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (descripteur < 0) {
    if (errno != EEXIST) ec = derniere_erreur();
    return false;
  }
  remplit(descripteur, chemin, contenu, ec);
  return !ec;
}

void ecrit_entier(const std::string& chemin, const std::string& contenu, std::error_code& ec) {
  ec.clear();
  const int descripteur = ::open(chemin.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (descripteur < 0) {
    ec = derniere_erreur();
    return;
  }
  remplit(descripteur, chemin, contenu, ec);
}

void remplace(const std::string& source, const std::string& cible, std::error_code& ec) {
  ec.clear();
  if (::rename(source.c_str(), cible.c_str()) != 0) ec = derniere_erreur();
}

}  // namespace agent
