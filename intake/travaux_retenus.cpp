#include "intake/travaux_retenus.h"

#include "core/journal.h"
#include "intake/identite_travail.h"
#include "intake/releve_stabilite.h"
#include "intake/supprime_travail.h"

namespace agent {

namespace {

std::string champs_travail(const std::string& nom, const travail_retenu& t) {
  return "fichier=" + champ(nom) + " file=" + champ(t.file) + " travail=" + std::to_string(t.travail);
}

void annule(const travail_retenu& t, const std::string& nom, const actions_releve& actions, const char* raison) {
  actions.spouleur->annule_travail(t);
  note_info("travail annulé : %s raison=%s", champs_travail(nom, t).c_str(), champ(raison).c_str());
}

// What a held job is to the file it was printed from.
enum class rapport { disparu, change, inchange };

rapport compare(const std::string& dossier, const std::string& nom, const travail_retenu& t,
                const actions_releve& actions) {
  const std::string chemin = chemin_travail(dossier, nom);
  const std::optional<etat_fichier> etat = etat_de(chemin);
  if (!etat) return rapport::disparu;
  // The size or the time tells most changes without reading the picture.
  if (!uuid_de_l_etat(t.uuid, dossier, nom, *etat)) return rapport::change;
  actions.charge_apercu(chemin);
  const uint64_t image = actions.empreinte_apercu ? actions.empreinte_apercu() : 0;
  if (etat_de(chemin) != etat || uuid_travail(dossier, nom, *etat, image) != t.uuid) return rapport::change;
  return rapport::inchange;
}

}  // namespace

bool rend_final(const std::string& chemin, const std::string& nom, const travail_retenu& t,
                const actions_releve& actions) {
  const bool retenu = actions.spouleur && t.travail > 0;
  if (!supprime_travail(chemin)) {
    if (retenu) annule(t, nom, actions, "fichier utilisé ailleurs, laissé pour un prochain relevé");
    return false;
  }
  if (!retenu) return true;
  actions.spouleur->libere_travail(t);
  note_info("travail final : %s", champs_travail(nom, t).c_str());
  if (actions.suit) actions.suit(t, nom);
  return true;
}

std::set<std::string> reprend_travaux_retenus(const std::string& dossier, const std::vector<std::string>& noms,
                                              const actions_releve& actions, std::vector<fichier_laisse>& laisses) {
  std::set<std::string> traites;
  if (!actions.spouleur) return traites;
  for (const travail_retenu& t : actions.spouleur->travaux_retenus(prefixe_uuid(dossier))) {
    const std::string* nom = nullptr;
    for (const std::string& n : noms)
      if (!traites.contains(n) && uuid_du_fichier(t.uuid, dossier, n)) nom = &n;
    // A file gone is named as its job is.
    const std::string fichier = nom ? *nom : t.nom;
    if (!t.document_recu) {
      annule(t, fichier, actions, "document incomplet");
      continue;
    }
    const rapport r = nom ? compare(dossier, *nom, t, actions) : rapport::disparu;
    if (r == rapport::change) {
      annule(t, fichier, actions, "fichier modifié depuis l'envoi");
      continue;
    }
    note_info("travail repris : %s raison=%s", champs_travail(fichier, t).c_str(),
              champ(r == rapport::disparu ? "fichier déjà supprimé" : "fichier encore présent, inchangé").c_str());
    if (r == rapport::disparu) {
      actions.spouleur->libere_travail(t);
      note_info("travail final : %s", champs_travail(fichier, t).c_str());
      if (actions.suit) actions.suit(t, fichier);
      continue;
    }
    traites.insert(*nom);
    if (!rend_final(chemin_travail(dossier, *nom), *nom, t, actions))
      laisses.push_back({*nom, raison_attente::en_usage});
  }
  return traites;
}

}  // namespace agent
