#include "intake/releve.h"

#include <filesystem>

#include "core/journal.h"
#include "intake/identite_travail.h"
#include "intake/liste_travaux.h"
#include "intake/nombre_copies.h"
#include "intake/releve_stabilite.h"
#include "intake/travaux_retenus.h"

namespace agent {

const char* texte_raison(raison_attente raison) {
  switch (raison) {
    case raison_attente::modifie: return "en cours de modification";
    case raison_attente::ouvert_en_ecriture: return "ouvert en écriture par un autre programme";
    case raison_attente::en_usage: return "utilisé par un autre programme ou un autre poste";
  }
  return "";
}

std::string chemin_travail(const std::string& dossier, const std::string& nom) {
  // '\\' on Windows, where '/' separates too.
  constexpr auto separateur = static_cast<char>(std::filesystem::path::preferred_separator);
  if (dossier.empty() || dossier.back() == '/' || dossier.back() == separateur) return dossier + nom;
  return dossier + separateur + nom;
}

std::optional<std::vector<fichier_laisse>> releve_dossier(const std::string& dossier_surveille,
                                                          const actions_releve& actions) {
  const auto tient = [&] { return !actions.tient_dossier || actions.tient_dossier(); };
  if (!tient()) return std::nullopt;
  // The snapshot: files deleted or arriving while the jobs print do not change it.
  const std::vector<std::string> noms = liste_travaux(dossier_surveille);
  actions.affiche_liste(noms);
  // The print runs let events through after every row; no second poll may start inside them.
  actions.active_minuterie(false);
  std::vector<fichier_laisse> laisses;
  // Jobs held since before this start: their files must not print again.
  std::set<std::string> traites;
  bool reprise_faite = false;
  if (actions.reprend_au_debut) {
    traites = reprend_travaux_retenus(dossier_surveille, noms, actions, laisses);
    reprise_faite = true;
  }
  // One wait for the whole poll: a file still being copied changes meanwhile.
  std::vector<std::optional<etat_fichier>> notes;
  notes.reserve(noms.size());
  for (const std::string& nom : noms) notes.push_back(etat_de(chemin_travail(dossier_surveille, nom)));
  if (!noms.empty() && !actions.patiente(attente_stabilisation)) return std::nullopt;
  // A file gone is no file still arriving: the load or the deletion that follows reports it.
  const auto a_change = [&](std::size_t i, const std::string& chemin) {
    const std::optional<etat_fichier> maintenant = etat_de(chemin);
    return maintenant && maintenant != notes[i];
  };
  for (std::size_t i = 0; i < noms.size(); ++i) {
    if (traites.contains(noms[i])) continue;
    const std::string chemin = chemin_travail(dossier_surveille, noms[i]);
    if (a_change(i, chemin)) {
      laisses.push_back({noms[i], raison_attente::modifie});
      continue;
    }
    if (ouvert_en_ecriture(chemin)) {
      laisses.push_back({noms[i], raison_attente::ouvert_en_ecriture});
      continue;
    }
    // A job may have lasted long enough for another agent to take the folder over.
    if (!tient()) break;
    // Another agent of this folder that froze past its lock's delay may have sent this very file.
    if (!reprise_faite) {
      const std::set<std::string> repris = reprend_travaux_retenus(dossier_surveille, noms, actions, laisses);
      traites.insert(repris.begin(), repris.end());
      if (traites.contains(noms[i])) continue;
    }
    reprise_faite = false;
    const auto debut = std::chrono::steady_clock::now();
    actions.charge_apercu(chemin);
    // Written to while it was read: the preview may hold part of each version.
    if (a_change(i, chemin)) {
      laisses.push_back({noms[i], raison_attente::modifie});
      continue;
    }
    const int16_t qte = nombre_copies(noms[i]);
    if (actions.spouleur) {
      const uint64_t image = actions.empreinte_apercu ? actions.empreinte_apercu() : 0;
      actions.spouleur->retient_prochain(uuid_travail(dossier_surveille, noms[i], *notes[i], image));
    }
    actions.lance_impression(qte);
    const auto duree = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - debut);
    const std::string impression = actions.decrit_impression ? " " + actions.decrit_impression() : "";
    note_info("imprimé : fichier=%s copies=%d%s ms=%lld", champ(noms[i]).c_str(), qte, impression.c_str(),
              static_cast<long long>(duree.count()));
    travail_retenu envoye;
    if (actions.spouleur) {
      const envoi_document envoi = actions.spouleur->dernier_envoi();
      if (envoi.retenu) envoye = {envoi.file, envoi.travail, {}, noms[i], true};
    }
    if (actions.avant_suppression) actions.avant_suppression();
    // Taken over meanwhile: the job stays held, for the agent that holds the folder now.
    if (!tient()) break;
    if (!rend_final(chemin, noms[i], envoye, actions)) laisses.push_back({noms[i], raison_attente::en_usage});
  }
  actions.active_minuterie(true);
  return laisses;
}

}  // namespace agent
