#pragma once
// What the agent's window does, whatever draws it: the timer's tick runs a poll of the watched
// folder under its lock, notes the files left waiting and follows the jobs released; the click
// prints the test page; both are the only places where an error is caught, and an error there
// ends the program after saying what it was. The title shows the progress, then the counts of
// waiting files and blocked jobs. Each platform's window (Qt's on Linux, Win32's on Windows)
// owns the components and hands them over as composants_fenetre.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/erreur.h"
#include "image/surface_apercu.h"
#include "intake/fichiers_en_attente.h"
#include "intake/suivi_travaux.h"
#include "intake/verrou_dossier.h"
#include "printing/impression.h"
#include "printing/service_imprimante.h"

namespace agent {

constexpr int intervalle_releve_ms = 10000;
constexpr int code_sortie_erreur = 1;
// Between the raster's rows the event loop gets a turn once this long has passed since its last
// one: a turn costs a few microseconds, a 600-dpi page has 7,000 rows, and a screen shows a frame
// every 16 ms or so.
constexpr std::chrono::milliseconds tranche_evenements(5);

struct reglages_fenetre {
  std::string dossier_surveille;
  std::function<std::string()> ligne_de_commande;  // the whole argument text, read at each run
  int delai_message_fatal_ms = 0;                  // 0: the message waits for the operator
  // How long another agent's lock in the folder may stay unchanged before it is taken over:
  // several polls of its holder.
  std::chrono::milliseconds delai_abandon_verrou = std::chrono::seconds(60);
  // Just before a job file is deleted (the test build's hook). Unset: nothing.
  std::function<void()> avant_suppression = {};
};

// The window's components, as the two events use them.
class composants_fenetre {
public:
  virtual ~composants_fenetre() = default;
  virtual void affiche_liste(const std::vector<std::string>& noms) = 0;  // File1
  virtual void active_minuterie(bool active) = 0;                        // Timer1
  virtual void charge_apercu(const std::string& chemin) = 0;             // Picture1
  virtual void efface_apercu() = 0;
  virtual const surface_apercu& apercu() const = 0;
  // Waits, the window staying live; false when the program is ending meanwhile.
  virtual bool patiente(std::chrono::milliseconds duree) = 0;
  // One turn of the event loop: the events waiting run, then it returns.
  virtual void tour_evenements() = 0;
  virtual void affiche_titre(const std::string& titre) = 0;
  // Modal, OK only.
  virtual void affiche_message(const std::string& texte) = 0;
  // Says `texte` (texte_erreur_fatale) in a modal message, closed by the operator or after the
  // build's delay, then ends the program with code_sortie_erreur once its event loop is back.
  virtual void termine_sur_erreur(const std::string& texte) = 0;
};

// "Erreur 482 : Erreur d'imprimante : …"
std::string texte_erreur_fatale(const erreur& e);
// Records the fatal error as a critical line and returns its text for the message.
std::string note_erreur_fatale(const erreur& e);

class logique_fenetre final : private fenetre_impression {
public:
  // Another agent's lock in the folder, seen now, proves live or stale from the first poll on.
  logique_fenetre(composants_fenetre& composants, service_imprimante& imprimante, dialogue_commun& dialogue,
                  reglages_fenetre r);

  // The two window events.
  void Timer1_Timer();
  void Command1_Click();
  // Prints the preview with `qte` copies on the printer named on the command line, then leaves
  // the preview empty. `qte` is read, never changed.
  void lance_impression(const int16_t& qte);

private:
  // Runs one event's work; an error ends the program.
  void traite_evenement(const std::function<void()>& travail);
  void echec_fatal(const erreur& e);
  poste_impression poste();
  void montre_titre();

  void laisse_evenements() override;
  void fixe_titre(const std::string& titre) override;
  void efface_apercu() override;
  void affiche_message(const std::string& texte) override;

  composants_fenetre& composants_;
  service_imprimante& imprimante_;
  dialogue_commun& dialogue_;
  reglages_fenetre reglages_;
  bool dans_la_trame_ = false;
  verrou_dossier verrou_;
  fichiers_en_attente en_attente_;
  suivi_travaux suivis_;
  bool travaux_repris_ = false;                         // the jobs held since before this start have been looked at
  std::string titre_ = "Form1";                         // the last title set, before the count of waiting files
  std::chrono::steady_clock::time_point dernier_tour_;  // of the event loop inside a raster
};

}  // namespace agent
