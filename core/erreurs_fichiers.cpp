#include "core/erreurs_fichiers.h"

#include <algorithm>
#include <cerrno>
#include <initializer_list>

#include "core/raison_systeme.h"

namespace agent {

namespace {

bool est_refus(std::error_code ec) {
  return ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted;
}

// Windows's own numbers (raison_systeme.cpp names them): the standard library reads the sharing
// and lock violations as EBUSY and a share out of reach as a missing path, which for a job file
// would say it is gone when it is only out of reach.
bool est_code_windows_parmi(std::error_code ec, std::initializer_list<int> codes) {
  return est_code_windows(ec) && std::find(codes.begin(), codes.end(), ec.value()) != codes.end();
}

// The watched folder sits on a network share: a server or network that has gone away shows up
// as one of these rather than as a missing path.
bool est_hors_de_portee(std::error_code ec) {
  if (ec == std::errc::host_unreachable || ec == std::errc::network_unreachable || ec == std::errc::network_down ||
      ec == std::errc::timed_out || ec == std::errc::no_such_device || ec == std::errc::no_such_device_or_address)
    return true;
  // ERROR_REM_NOT_LIST, ERROR_BAD_NETPATH, ERROR_UNEXP_NET_ERR, ERROR_NETNAME_DELETED,
  // ERROR_BAD_NET_NAME, ERROR_SEM_TIMEOUT, ERROR_NO_NETWORK and the unreachable network and host.
  if (est_code_windows(ec)) return est_code_windows_parmi(ec, {51, 53, 59, 64, 67, 121, 1222, 1231, 1232});
#if defined(EHOSTDOWN) && defined(ESTALE)
  if (ec.category() == std::system_category() || ec.category() == std::generic_category())
    return ec.value() == EHOSTDOWN || ec.value() == ESTALE;
#endif
  return false;
}

bool est_absent(std::error_code ec) {
  if (est_hors_de_portee(ec)) return false;
  return ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory;
}

}  // namespace

erreur erreur_dossier(std::error_code ec, const std::string& dossier) {
  const std::string detail = dossier + " : " + raison_systeme(ec);
  if (est_absent(ec) || est_hors_de_portee(ec)) return erreur(code_erreur::chemin_introuvable, detail);
  if (est_refus(ec)) return erreur(code_erreur::permission_refusee, detail);
  return erreur(code_erreur::acces_fichier, detail);
}

erreur erreur_fichier(std::error_code ec, const std::string& chemin) {
  const std::string detail = chemin + " : " + raison_systeme(ec);
  if (est_absent(ec)) return erreur(code_erreur::fichier_introuvable, detail);
  if (est_refus(ec)) return erreur(code_erreur::permission_refusee, detail);
  return erreur(code_erreur::acces_fichier, detail);
}

bool est_en_usage(std::error_code ec) {
  // ERROR_SHARING_VIOLATION and ERROR_LOCK_VIOLATION, whatever the library makes of them.
  return ec == std::errc::device_or_resource_busy || ec == std::errc::text_file_busy ||
         est_code_windows_parmi(ec, {32, 33});
}

}  // namespace agent
