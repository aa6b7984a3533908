#include "core/raison_systeme.h"

#include <cerrno>
#include <span>

namespace agent {

namespace {

struct raison {
  int numero;
  const char* nom;
  const char* texte;
};

// The failures a job file, the watched folder or its lock may meet, on a local disk or a share.
constexpr raison raisons[] = {
    {ENOENT, "ENOENT", "fichier ou dossier absent"},
    {ENOTDIR, "ENOTDIR", "un élément du chemin n'est pas un dossier"},
    {EISDIR, "EISDIR", "c'est un dossier"},
    {EACCES, "EACCES", "accès refusé"},
    {EPERM, "EPERM", "opération non permise"},
    {EROFS, "EROFS", "système de fichiers en lecture seule"},
    {EBUSY, "EBUSY", "fichier utilisé par un autre programme ou un autre poste"},
    {ETXTBSY, "ETXTBSY", "fichier utilisé par un autre programme"},
    {EEXIST, "EEXIST", "le fichier existe déjà"},
    {ENOTEMPTY, "ENOTEMPTY", "dossier non vide"},
    {ENOSPC, "ENOSPC", "plus de place sur le disque"},
#ifdef EDQUOT
    {EDQUOT, "EDQUOT", "quota de disque dépassé"},
#endif
    {EIO, "EIO", "erreur d'entrée-sortie"},
    {ENAMETOOLONG, "ENAMETOOLONG", "nom trop long"},
    {ELOOP, "ELOOP", "trop de liens symboliques"},
    {EMFILE, "EMFILE", "trop de fichiers ouverts"},
    {ENFILE, "ENFILE", "trop de fichiers ouverts sur le système"},
    {EINVAL, "EINVAL", "opération refusée par le système de fichiers"},
    {EAGAIN, "EAGAIN", "ressource momentanément indisponible"},
    {EINTR, "EINTR", "opération interrompue"},
    {ETIMEDOUT, "ETIMEDOUT", "le serveur de fichiers ne répond pas"},
    {EHOSTUNREACH, "EHOSTUNREACH", "serveur de fichiers injoignable"},
    {ENETUNREACH, "ENETUNREACH", "réseau injoignable"},
    {ENETDOWN, "ENETDOWN", "réseau hors service"},
    {ECONNRESET, "ECONNRESET", "connexion au serveur de fichiers rompue"},
    {ECONNREFUSED, "ECONNREFUSED", "connexion au serveur de fichiers refusée"},
    {ENODEV, "ENODEV", "périphérique absent"},
    {ENXIO, "ENXIO", "périphérique ou adresse absent"},
#ifdef EHOSTDOWN
    {EHOSTDOWN, "EHOSTDOWN", "serveur de fichiers arrêté"},
#endif
#ifdef ESTALE
    {ESTALE, "ESTALE", "fichier du partage devenu invalide"},
#endif
#ifdef ENOTCONN
    {ENOTCONN, "ENOTCONN", "partage déconnecté"},
#endif
};

// Windows's own numbers, which std::filesystem and the Win32 calls report in std::system_category
// there, and which are not errno's: 5 is an access denied, not an input-output error.
constexpr raison raisons_windows[] = {
    {2, "ERROR_FILE_NOT_FOUND", "fichier absent"},
    {3, "ERROR_PATH_NOT_FOUND", "chemin absent"},
    {5, "ERROR_ACCESS_DENIED", "accès refusé"},
    {19, "ERROR_WRITE_PROTECT", "support protégé en écriture"},
    {32, "ERROR_SHARING_VIOLATION", "fichier utilisé par un autre programme ou un autre poste"},
    {33, "ERROR_LOCK_VIOLATION", "fichier verrouillé par un autre programme ou un autre poste"},
    {80, "ERROR_FILE_EXISTS", "le fichier existe déjà"},
    {183, "ERROR_ALREADY_EXISTS", "le fichier existe déjà"},
    {145, "ERROR_DIR_NOT_EMPTY", "dossier non vide"},
    {112, "ERROR_DISK_FULL", "plus de place sur le disque"},
    {39, "ERROR_HANDLE_DISK_FULL", "plus de place sur le disque"},
    {1117, "ERROR_IO_DEVICE", "erreur d'entrée-sortie"},
    {206, "ERROR_FILENAME_EXCED_RANGE", "nom trop long"},
    {123, "ERROR_INVALID_NAME", "nom de fichier incorrect"},
    {267, "ERROR_DIRECTORY", "un élément du chemin n'est pas un dossier"},
    {4, "ERROR_TOO_MANY_OPEN_FILES", "trop de fichiers ouverts"},
    {8, "ERROR_NOT_ENOUGH_MEMORY", "mémoire insuffisante"},
    {1, "ERROR_INVALID_FUNCTION", "opération refusée par le système de fichiers"},
    {87, "ERROR_INVALID_PARAMETER", "opération refusée par le système de fichiers"},
    {50, "ERROR_NOT_SUPPORTED", "opération refusée par le système de fichiers"},
    {21, "ERROR_NOT_READY", "périphérique pas prêt"},
    {1920, "ERROR_CANT_ACCESS_FILE", "fichier inaccessible"},
    {51, "ERROR_REM_NOT_LIST", "serveur de fichiers injoignable"},
    {53, "ERROR_BAD_NETPATH", "chemin réseau introuvable"},
    {59, "ERROR_UNEXP_NET_ERR", "erreur réseau inattendue"},
    {64, "ERROR_NETNAME_DELETED", "partage déconnecté"},
    {67, "ERROR_BAD_NET_NAME", "partage introuvable sur le serveur"},
    {121, "ERROR_SEM_TIMEOUT", "le serveur de fichiers ne répond pas"},
    {1222, "ERROR_NO_NETWORK", "réseau absent"},
    {1225, "ERROR_CONNECTION_REFUSED", "connexion au serveur de fichiers refusée"},
    {1231, "ERROR_NETWORK_UNREACHABLE", "réseau injoignable"},
    {1232, "ERROR_HOST_UNREACHABLE", "serveur de fichiers injoignable"},
    {1236, "ERROR_CONNECTION_ABORTED", "connexion au serveur de fichiers rompue"},
};

std::span<const raison> table_de(std::error_code ec) {
  if (ec.category() == std::generic_category()) return raisons;
  if (ec.category() != std::system_category()) return {};
  if (est_code_windows(ec)) return raisons_windows;
  return raisons;
}

}  // namespace

bool est_code_windows(std::error_code ec) {
#ifdef _WIN32
  return ec.category() == std::system_category();
#else
  (void)ec;
  return false;
#endif
}

std::string raison_systeme(std::error_code ec) {
  for (const raison& r : table_de(ec))
    if (ec.value() == r.numero) return std::string(r.texte) + " (" + r.nom + ")";
  return "erreur système " + std::to_string(ec.value()) + " (" + ec.message() + ")";
}

}  // namespace agent
