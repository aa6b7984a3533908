#pragma once
// The agent's one window. It owns every component: the test button `Command1`, the preview
// `Picture1`, the listing of job files `File1`, the polling timer `Timer1` and the dialog
// component `printerDialog`. Two events start work, the tick and the click; they are the only
// places where an error is caught, and an error there ends the program after saying what it was.

#include <QWidget>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "app/dialogue_sans_affichage.h"
#include "intake/fichiers_en_attente.h"
#include "intake/suivi_travaux.h"
#include "intake/verrou_dossier.h"
#include "printing/impression.h"
#include "printing/service_imprimante.h"

class QListWidget;
class QPushButton;
class QTimer;

namespace agent {

class boite_image;
class erreur;

constexpr int intervalle_releve_ms = 10000;
constexpr int code_sortie_erreur = 1;
// Between the raster's rows the event loop gets a turn once this long has passed since its last
// one: a turn costs a few microseconds, a 600-dpi page has 7,000 rows, and a screen shows a frame
// every 16 ms or so.
constexpr std::chrono::milliseconds tranche_evenements(5);

class Form1 : public QWidget, private fenetre_impression {
public:
  struct reglages {
    std::string dossier_surveille;
    std::function<std::string()> ligne_de_commande;  // the whole argument text, read at each run
    int delai_message_fatal_ms = 0;                  // 0: the message waits for the operator
    // How long another agent's lock in the folder may stay unchanged before it is taken over:
    // several polls of its holder.
    std::chrono::milliseconds delai_abandon_verrou = std::chrono::seconds(60);
    // Just before a job file is deleted (the test build's hook). Unset: nothing.
    std::function<void()> avant_suppression = {};
  };

  Form1(service_imprimante& imprimante, reglages r);

  // Prints the preview with `qte` copies on the printer named on the command line, then leaves
  // the preview empty. `qte` is read, never changed.
  void lance_impression(const int16_t& qte);

  // The two window events, wired to the timer and the button; public so that tests can raise them.
  void Timer1_Timer();
  void Command1_Click();

  QPushButton* Command1;
  boite_image* Picture1;
  QListWidget* File1;
  QTimer* Timer1;
  dialogue_sans_affichage printerDialog;

private:
  // Runs one event's work; an error ends the program.
  void traite_evenement(const std::function<void()>& travail);
  void echec_fatal(const erreur& e);
  poste_impression poste();
  void affiche_titre();

  void laisse_evenements() override;
  void fixe_titre(const std::string& titre) override;
  void efface_apercu() override;
  void affiche_message(const std::string& texte) override;

  service_imprimante& imprimante_;
  reglages reglages_;
  bool dans_la_trame_ = false;
  verrou_dossier verrou_;
  fichiers_en_attente en_attente_;
  suivi_travaux suivis_;
  bool travaux_repris_ = false;                         // the jobs held since before this start have been looked at
  std::string titre_ = "Form1";                         // the last title set, before the count of waiting files
  std::chrono::steady_clock::time_point dernier_tour_;  // of the event loop inside a raster
};

}  // namespace agent
