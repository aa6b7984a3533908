#include "intake/logique_fenetre.h"

#include <new>

#include "core/journal.h"
#include "intake/releve.h"

namespace agent {

std::string texte_erreur_fatale(const erreur& e) {
  return "Erreur " + std::to_string(e.numero()) + " : " + e.description();
}

std::string note_erreur_fatale(const erreur& e) {
  std::string texte = texte_erreur_fatale(e);
  note_critique("%s", texte.c_str());
  return texte;
}

logique_fenetre::logique_fenetre(composants_fenetre& composants, service_imprimante& imprimante,
                                 dialogue_commun& dialogue, reglages_fenetre r)
    : composants_(composants),
      imprimante_(imprimante),
      dialogue_(dialogue),
      reglages_(std::move(r)),
      verrou_(reglages_.dossier_surveille, reglages_.delai_abandon_verrou) {
  verrou_.observe();
}

poste_impression logique_fenetre::poste() {
  return {imprimante_, dialogue_, composants_.apercu(), *this, dans_la_trame_};
}

void logique_fenetre::lance_impression(const int16_t& qte) {
  auto p = poste();
  imprime_travail(p, reglages_.ligne_de_commande(), qte);
}

void logique_fenetre::Timer1_Timer() {
  traite_evenement([this] {
    const auto laisses = releve_dossier(
        reglages_.dossier_surveille,
        {.affiche_liste = [this](const std::vector<std::string>& noms) { composants_.affiche_liste(noms); },
         .active_minuterie = [this](bool active) { composants_.active_minuterie(active); },
         .charge_apercu = [this](const std::string& chemin) { composants_.charge_apercu(chemin); },
         .lance_impression = [this](const int16_t& qte) { lance_impression(qte); },
         .patiente = [this](std::chrono::milliseconds duree) { return composants_.patiente(duree); },
         .tient_dossier = [this] { return verrou_.tient(); },
         .decrit_impression = [this] { return decrit_envoi(imprimante_.dernier_envoi()); },
         .empreinte_apercu = [this] { return composants_.apercu().empreinte(); },
         .spouleur = &imprimante_,
         .suit = [this](const travail_retenu& t, const std::string& nom) { suivis_.ajoute(t, nom); },
         .reprend_au_debut = !travaux_repris_,
         .avant_suppression = reglages_.avant_suppression});
    if (!laisses) return;
    travaux_repris_ = true;
    en_attente_.note(*laisses, fichiers_en_attente::horloge::now());
    // After the poll, whose jobs it must not slow.
    suivis_.actualise(imprimante_, suivi_travaux::horloge::now());
    montre_titre();
  });
}

void logique_fenetre::Command1_Click() {
  traite_evenement([this] {
    auto p = poste();
    imprime_essai(p);
  });
}

void logique_fenetre::traite_evenement(const std::function<void()>& travail) {
  // Events run between the raster's rows; a second run would draw into the open document.
  if (dans_la_trame_) return;
  try {
    travail();
  } catch (const erreur& e) {
    echec_fatal(e);
  } catch (const std::bad_alloc&) {
    echec_fatal(erreur(code_erreur::memoire_insuffisante));
  }
}

void logique_fenetre::echec_fatal(const erreur& e) {
  // No poll may start while the message waits for the operator.
  composants_.active_minuterie(false);
  composants_.termine_sur_erreur(note_erreur_fatale(e));
}

void logique_fenetre::laisse_evenements() {
  const auto maintenant = std::chrono::steady_clock::now();
  if (maintenant - dernier_tour_ < tranche_evenements) return;
  dernier_tour_ = maintenant;
  composants_.tour_evenements();
}

void logique_fenetre::fixe_titre(const std::string& titre) {
  titre_ = titre;
  montre_titre();
}

// The title is all the window has room for without changing its layout: the files the polls keep
// leaving and the jobs that do not move in the spooler are counted after the progress.
void logique_fenetre::montre_titre() {
  const std::size_t n = en_attente_.nombre();
  std::string titre = titre_;
  if (n > 0) titre += " — " + std::to_string(n) + (n == 1 ? " fichier en attente" : " fichiers en attente");
  const std::size_t b = suivis_.bloques();
  if (b > 0) titre += " — " + std::to_string(b) + (b == 1 ? " travail bloqué" : " travaux bloqués");
  composants_.affiche_titre(titre);
}

void logique_fenetre::efface_apercu() { composants_.efface_apercu(); }

void logique_fenetre::affiche_message(const std::string& texte) { composants_.affiche_message(texte); }

}  // namespace agent
