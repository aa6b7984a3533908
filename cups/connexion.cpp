#include "cups/connexion.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/erreur.h"
#include "cups/sans_mot_de_passe.h"

namespace agent {

namespace {

// How often a wait for the scheduler checks the operation's deadline.
constexpr std::chrono::milliseconds pas_attente{250};

// Keeps waiting (1) until the operation's deadline, then gives up (0). Throws nothing.
int attend_encore(http_t*, void* echeance) { return horloge::now() < *static_cast<horloge::time_point*>(echeance); }

}  // namespace

bool reussi(ipp_status_t statut) { return statut <= IPP_STATUS_OK_EVENTS_COMPLETE; }

http_t* connecte(std::chrono::milliseconds delai, horloge::time_point* echeance) {
  http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                              static_cast<int>(delai.count()), nullptr);
  if (http)
    httpSetTimeout(http, std::chrono::duration<double>(std::min(delai, pas_attente)).count(), &attend_encore, echeance);
  return http;
}

connexion::connexion(std::chrono::milliseconds delai)
    : delai_(delai), echeance_(horloge::now() + delai), http_(connecte(delai, &echeance_)) {
  if (!http_) echoue(std::string("le serveur d'impression ") + cupsServer() + " ne répond pas");
}

connexion::~connexion() {
  if (http_) httpClose(http_);
}

void connexion::echoue(const std::string& quoi) const {
  const int systeme = http_ ? httpError(http_) : 0;
  std::string message = systeme ? std::strerror(systeme) : cupsLastErrorString();
  if (systeme == ETIMEDOUT) message = "pas de réponse en " + std::to_string(delai_.count()) + " ms (" + message + ")";
  if (!systeme && authentification_demandee())
    message = "le serveur d'impression demande une authentification, que l'agent ne donne pas (" + message + ")";
  throw erreur(code_erreur::erreur_imprimante, quoi + " : " + message);
}

}  // namespace agent
