#include "intake/releve_stabilite.h"

#ifdef __linux__
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

#include "core/erreurs_fichiers.h"

namespace agent {

std::optional<etat_fichier> etat_de(const std::string& chemin) {
  std::error_code ec;
  etat_fichier etat;
  etat.taille = std::filesystem::file_size(chemin, ec);
  if (!ec) etat.modification = std::filesystem::last_write_time(chemin, ec);
  if (ec == std::errc::no_such_file_or_directory) return std::nullopt;
  if (ec) throw erreur_fichier(ec, chemin);
  return etat;
}

bool ouvert_en_ecriture(const std::string& chemin) {
#ifdef __linux__
  // The kernel refuses a read lease (EAGAIN) while any descriptor on the file is open for writing.
  // It grants one only to the file's owner or a process with CAP_LEASE (EACCES otherwise), and a
  // network file system may not grant one at all (EINVAL): the kernel cannot tell then, and the
  // settle wait alone decides. Nonblocking: a write lease someone else holds (a file server
  // caching a client's writes) fails the open at once instead of stalling the poll, and such a
  // file is still being written.
  const int descripteur = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (descripteur < 0) return errno == EWOULDBLOCK;
  // A writer opening the file while the lease is held breaks it, and the kernel tells the holder
  // with SIGIO by default, which would end the agent: a signal ignored by default instead.
  ::fcntl(descripteur, F_SETSIG, SIGURG);
  const bool ecrit = ::fcntl(descripteur, F_SETLEASE, F_RDLCK) != 0 && errno == EAGAIN;
  ::close(descripteur);  // and with it the lease: the writer's open waits no longer
  return ecrit;
#else
  (void)chemin;
  return false;
#endif
}

}  // namespace agent
