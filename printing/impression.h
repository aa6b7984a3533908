#pragma once
// The two print runs. Both print the preview as one document: choose the printer, set the copies,
// the dialog property and the scale mode, run the raster, end the document. The job run prints on
// the printer named on the command line with the copies read from the job's name and leaves the
// preview empty; the test run prints one copy on the test printer and tells the operator.

#include <cstdint>
#include <string>

#include "printing/service_imprimante.h"
#include "printing/surface_lecture.h"
#include "printing/trame_points.h"

namespace agent {

inline constexpr const char* nom_imprimante_essai = "QLS-4100 Xe drivers standard";
inline constexpr const char* message_impression_terminee = "Impression Terminée !";
// What the test run's document is called in the queue; a job run's document is called after the
// file the preview shows.
inline constexpr const char* nom_document_essai = "Impression d'essai";

// The window's common dialog component `printerDialog`, as a print run uses it: every run sets its
// property 26 to 5 and reads nothing back.
constexpr int32_t propriete_dialogue_impression = 26;
constexpr int16_t valeur_dialogue_impression = 5;

class dialogue_commun {
public:
  virtual ~dialogue_commun() = default;
  virtual void fixe_propriete(int32_t identifiant, int16_t valeur) = 0;
};

// What a print run needs from the window beyond the raster's needs.
class fenetre_impression : public suivi_trame {
public:
  virtual void efface_apercu() = 0;
  // Modal, OK only; returns when the operator has dismissed it.
  virtual void affiche_message(const std::string& texte) = 0;
};

// The window's printing parts, as one print run uses them.
struct poste_impression {
  service_imprimante& imprimante;
  dialogue_commun& dialogue;
  const surface_lecture& apercu;
  fenetre_impression& fenetre;
  bool& dans_la_trame;  // see garde_trame
};

// Outer U+0020 spaces removed (tabs and inner spaces stay), then upper case by Unicode rules
// (é → É), whatever the locale.
std::string normalise_nom_imprimante(const std::string& nom);

// Makes current the first installed printer, in the platform's order, one of whose device names
// equals `nom_cible` once both are normalised. No match changes nothing.
void choisit_imprimante(service_imprimante& imprimante, const std::string& nom_cible);

// The job run: `nom_cible` is the command line's whole argument text, `qte` the copies.
void imprime_travail(poste_impression& poste, const std::string& nom_cible, const int16_t& qte);

// The test run on the test printer.
void imprime_essai(poste_impression& poste);

}  // namespace agent
