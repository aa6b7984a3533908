#include "cups/connexion.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/erreur.h"
#include "cups/sans_mot_de_passe.h"

namespace agent {

namespace {

// The time left to the deadline, at least a millisecond: libcups ignores a timeout of zero.
double reste(horloge::time_point echeance) {
  return std::max(std::chrono::duration<double>(echeance - horloge::now()).count(), 0.001);
}

// A wait that ended without an answer: the next one lasts what is left to the deadline, and there
// is none past it. Throws nothing.
int attend_encore(http_t* http, void* donnee) {
  const horloge::time_point echeance = *static_cast<horloge::time_point*>(donnee);
  if (horloge::now() >= echeance) return 0;
  httpSetTimeout(http, reste(echeance), &attend_encore, donnee);
  return 1;
}

}  // namespace

bool reussi(ipp_status_t statut) { return statut <= IPP_STATUS_OK_EVENTS_COMPLETE; }

// Every wait lasts up to the time left to the deadline: libcups reads the body of an IPP answer
// with a single wait of the connection's timeout, without asking the callback, and a busy
// scheduler may send that body well after the answer's headers.
http_t* connecte(std::chrono::milliseconds delai, horloge::time_point* echeance) {
  http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                              static_cast<int>(delai.count()), nullptr);
  if (http) httpSetTimeout(http, reste(*echeance), &attend_encore, echeance);
  return http;
}

connexion::connexion(std::chrono::milliseconds delai)
    : delai_(delai), echeance_(horloge::now() + delai), http_(connecte(delai, &echeance_)) {
  if (!http_) echoue(std::string("le serveur d'impression ") + cupsServer() + " ne répond pas");
}

http_t* connexion::http() const {
  // A request that starts now waits no longer than the operation has left. The callback only reads
  // the deadline.
  httpSetTimeout(http_, reste(echeance_), &attend_encore, const_cast<horloge::time_point*>(&echeance_));
  return http_;
}

connexion::~connexion() {
  if (http_) httpClose(http_);
}

void connexion::echoue(const std::string& quoi) const { throw erreur(code_erreur::erreur_imprimante, motif(quoi)); }

std::string connexion::motif(const std::string& quoi) const {
  const int systeme = http_ ? httpError(http_) : 0;
  std::string message = systeme ? std::strerror(systeme) : cupsLastErrorString();
  // libcups gives up on a body that did not come in time without saying so.
  if (systeme == ETIMEDOUT || horloge::now() >= echeance_)
    message = "pas de réponse en " + std::to_string(delai_.count()) + " ms (" + message + ")";
  if (!systeme && authentification_demandee())
    message = "le serveur d'impression demande une authentification, que l'agent ne donne pas (" + message + ")";
  return quoi + " : " + message;
}

}  // namespace agent
