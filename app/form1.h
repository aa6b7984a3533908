#pragma once
// The agent's one window, in Qt. It owns every component: the test button `Command1`, the preview
// `Picture1`, the listing of job files `File1`, the polling timer `Timer1` and the dialog
// component `printerDialog`, and hands them to what the window does (intake/logique_fenetre.h).

#include <QWidget>
#include <cstdint>
#include <string>

#include "intake/logique_fenetre.h"
#include "printing/dialogue_sans_affichage.h"
#include "printing/service_imprimante.h"

class QListWidget;
class QPushButton;
class QTimer;

namespace agent {

class boite_image;

class Form1 : public QWidget, private composants_fenetre {
public:
  using reglages = reglages_fenetre;

  Form1(service_imprimante& imprimante, reglages r);

  void lance_impression(const int16_t& qte) { logique_.lance_impression(qte); }

  // The two window events, wired to the timer and the button; public so that tests can raise them.
  void Timer1_Timer() { logique_.Timer1_Timer(); }
  void Command1_Click() { logique_.Command1_Click(); }

  QPushButton* Command1;
  boite_image* Picture1;
  QListWidget* File1;
  QTimer* Timer1;
  dialogue_sans_affichage printerDialog;

private:
  void affiche_liste(const std::vector<std::string>& noms) override;
  void active_minuterie(bool active) override;
  void charge_apercu(const std::string& chemin) override;
  void efface_apercu() override;
  const surface_apercu& apercu() const override;
  bool patiente(std::chrono::milliseconds duree) override;
  void tour_evenements() override;
  void affiche_titre(const std::string& titre) override;
  void affiche_message(const std::string& texte) override;
  void termine_sur_erreur(const std::string& texte) override;

  int delai_message_fatal_ms_;
  logique_fenetre logique_;
};

}  // namespace agent
