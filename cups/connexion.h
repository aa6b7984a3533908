#pragma once
// One operation's connection to the print scheduler, with its deadline: every wait on it ends at
// the same moment, so a scheduler that stops answering costs the operation's delay once, not once
// per request, and turns into an error instead of a frozen agent.

#include <cups/cups.h>

#include <chrono>
#include <string>

namespace agent {

using horloge = std::chrono::steady_clock;

// Whether an IPP status is a success. Throws nothing.
bool reussi(ipp_status_t statut);

// A connection whose every wait ends at `echeance`; null when the scheduler cannot be reached.
// Throws nothing.
http_t* connecte(std::chrono::milliseconds delai, horloge::time_point* echeance);

class connexion {
public:
  // Throws "Erreur d'imprimante" when the scheduler cannot be reached within `delai`.
  explicit connexion(std::chrono::milliseconds delai);
  ~connexion();
  connexion(const connexion&) = delete;
  connexion& operator=(const connexion&) = delete;

  // The connection, its waits set to end at the deadline. Throws nothing.
  http_t* http() const;

  // Throws "Erreur d'imprimante": `quoi`, then CUPS's own words for the last failure. A broken
  // connection leaves the IPP status meaningless ("Success"), so its system error speaks instead.
  [[noreturn]] void echoue(const std::string& quoi) const;
  // The same words, for a failure that is looked into before it is reported. Throws nothing.
  std::string motif(const std::string& quoi) const;
  // Whether the last failure may have left the scheduler's answer unread: the connection broke or
  // the deadline passed. The scheduler may then have done what it was asked. Throws nothing.
  bool reponse_perdue() const { return rompue() || horloge::now() >= echeance_; }
  bool rompue() const { return httpError(http_) != 0; }

private:
  std::chrono::milliseconds delai_;
  horloge::time_point echeance_;
  http_t* http_ = nullptr;
};

}  // namespace agent
