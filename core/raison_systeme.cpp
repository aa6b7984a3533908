#include "core/raison_systeme.h"

#include <cerrno>

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
    {EDQUOT, "EDQUOT", "quota de disque dépassé"},
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

}  // namespace

std::string raison_systeme(std::error_code ec) {
  if (ec.category() == std::generic_category() || ec.category() == std::system_category()) {
    for (const raison& r : raisons)
      if (ec.value() == r.numero) return std::string(r.texte) + " (" + r.nom + ")";
  }
  return "erreur système " + std::to_string(ec.value()) + " (" + ec.message() + ")";
}

}  // namespace agent
