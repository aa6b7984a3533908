#pragma once
// The agent's one window on Windows, in Win32. It owns every component: the test button
// `Command1`, the preview `Picture1`, the listing of job files `File1`, the polling timer `Timer1`
// and the dialog component `printerDialog`, laid out in twips at the system's resolution, and
// hands them to what the window does (intake/logique_fenetre.h).

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "app/win32/boite_image.h"
#include "intake/logique_fenetre.h"
#include "printing/dialogue_sans_affichage.h"
#include "printing/service_imprimante.h"

namespace agent {

// Twips (1/1440 inch) to pixels at `ppp` pixels per inch, rounded.
int pixels_twips(int twips, int ppp);

class Form1 final : private composants_fenetre {
public:
  using reglages = reglages_fenetre;

  Form1(HINSTANCE instance, service_imprimante& imprimante, reglages r);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Shows the window and runs its event loop until the program ends; returns its exit code.
  int execute(int affichage);

  void lance_impression(const int16_t& qte) { logique_.lance_impression(qte); }
  // The two window events, wired to the timer and the button; public so that tests can raise them.
  void Timer1_Timer() { logique_.Timer1_Timer(); }
  void Command1_Click() { logique_.Command1_Click(); }

  HWND fenetre() const { return fenetre_; }
  HWND Command1 = nullptr;
  std::unique_ptr<boite_image> Picture1;
  HWND File1 = nullptr;
  static constexpr UINT_PTR Timer1 = 1;  // the timer's number on the window
  dialogue_sans_affichage printerDialog;

private:
  static LRESULT CALLBACK procedure(HWND fenetre, UINT message, WPARAM w, LPARAM l);
  LRESULT traite(UINT message, WPARAM w, LPARAM l);
  // Runs the messages waiting; false once the program is ending, its WM_QUIT put back for the
  // outer loop.
  bool pompe();
  void distribue(MSG& m);

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
  HWND fenetre_ = nullptr;
  HFONT police_ = nullptr;
};

}  // namespace agent
