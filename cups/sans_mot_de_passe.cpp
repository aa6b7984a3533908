#include "cups/sans_mot_de_passe.h"

#include <cups/cups.h>

namespace agent {

namespace {

const char* aucun_mot_de_passe(const char*, http_t*, const char*, const char*, void*) { return nullptr; }

}  // namespace

void refuse_mots_de_passe() { cupsSetPasswordCB2(aucun_mot_de_passe, nullptr); }

bool authentification_demandee() {
  const ipp_status_t statut = cupsLastError();
  return statut == IPP_STATUS_ERROR_NOT_AUTHENTICATED || statut == IPP_STATUS_ERROR_NOT_AUTHORIZED ||
         statut == IPP_STATUS_ERROR_CUPS_AUTHENTICATION_CANCELED;
}

}  // namespace agent
