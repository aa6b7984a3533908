#include "core/erreurs_fichiers.h"

#include <cerrno>

#include "core/raison_systeme.h"

namespace agent {

namespace {

bool est_refus(std::error_code ec) {
  return ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted;
}

bool est_absent(std::error_code ec) {
  return ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory;
}

// The watched folder sits on a network share: a server or network that has gone away shows up
// as one of these rather than as a missing path.
bool est_hors_de_portee(std::error_code ec) {
  if (ec == std::errc::host_unreachable || ec == std::errc::network_unreachable || ec == std::errc::network_down ||
      ec == std::errc::timed_out || ec == std::errc::no_such_device || ec == std::errc::no_such_device_or_address)
    return true;
#if defined(EHOSTDOWN) && defined(ESTALE)
  if (ec.category() == std::system_category() || ec.category() == std::generic_category())
    return ec.value() == EHOSTDOWN || ec.value() == ESTALE;
#endif
  return false;
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
  return ec == std::errc::device_or_resource_busy || ec == std::errc::text_file_busy;
}

}  // namespace agent
