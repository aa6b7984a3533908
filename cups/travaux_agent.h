#pragma once
// The agent's own jobs on the print scheduler, after their submission: the ones it holds until
// their file is deleted (found again by their job-uuid, released or cancelled), and what becomes
// of the ones it released.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "cups/connexion.h"
#include "printing/service_imprimante.h"

namespace agent {

// The jobs of this user that have not ended and whose job-uuid starts with `prefixe`: the held
// ones in `retenus`, every one in `vivants` (held, pending, printing or stopped). Throws "Erreur
// d'imprimante" when the scheduler cannot tell.
struct travaux_en_cours {
  std::vector<travail_retenu> retenus;
  std::vector<travail_retenu> vivants;
};
travaux_en_cours travaux_du_serveur(const connexion& c, const std::string& prefixe);

// Throws "Erreur d'imprimante" with the scheduler's words when it refuses.
void libere(const connexion& c, const travail_retenu& t);
void annule(const connexion& c, const travail_retenu& t);

// Whether job `travail` holds its whole document, on a fresh connection: after an answer
// that never came, the scheduler may have taken the document all the same. Nothing when it cannot
// tell. Throws nothing.
std::optional<bool> document_recu(int travail, std::chrono::milliseconds delai);

// Cancels every job of this user that has not ended and carries `uuid`, on a fresh connection:
// a Create-Job whose answer never came may have made one. Throws nothing.
void annule_sans_numero(const std::string& uuid, std::chrono::milliseconds delai);

// What became of `travaux` since their release; nothing when the scheduler cannot tell now.
// Throws nothing.
std::optional<std::vector<nouvelles_travail>> nouvelles_du_serveur(const std::vector<travail_retenu>& travaux,
                                                                   std::chrono::milliseconds delai);

}  // namespace agent
