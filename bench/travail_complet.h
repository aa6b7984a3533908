#pragma once
// The agent's whole job as a user meets it: the job file on disk is loaded into the window's
// preview, printed by the real print run through the CUPS printer, and accepted by a private
// scheduler of the bench's own (the test suite's fixture), so the machine's printers are never
// touched; or followed further, to an emulated driverless printer on the loopback.

#include <memory>
#include <string>

#include "app/form1.h"
#include "cups/imprimante_cups.h"
#include "tests/support/serveur_cups_prive.h"

namespace agent::banc {

// Needs a QApplication.
class poste_complet {
public:
  poste_complet();
  ~poste_complet();

  // One job: `chemin` loaded, printed with one copy on the A4 queue of `resolution` dpi (300 or
  // 600), handed to the scheduler held, and released, as a poll does. Throws what the agent
  // throws.
  void imprime(const std::string& chemin, int resolution);

  // Jobs the scheduler has accepted so far, and the size of the last one's document.
  int travaux_acceptes() const;
  qsizetype taille_dernier_document() const;

  // One job as far as the printer: `chemin` printed with one copy on the driverless queue of
  // `resolution` dpi (A4, to an emulated printer), sent as `envoi` (PWG raster, or PDF through the
  // scheduler's filters), and waited for until the printer holds the page; or, `pilote_raster`,
  // on the queue of a raster driver taking 8-bit RGB at that resolution (A4 as its PPD gives it,
  // 595 × 842 points), sent as its CUPS raster or as PDF, until the scheduler has finished the
  // job. Returns the job's id.
  int32_t imprime_jusqu_a_l_imprimante(const std::string& chemin, int resolution, format_document envoi,
                                       bool pilote_raster = false);
  // What the printer received for job `id`, and the size of the document the agent sent.
  essai::serveur_cups_prive::reception recu(int32_t id) const { return serveur_.recu(id); }
  qsizetype taille_document(int32_t id) const { return serveur_.document(id).size(); }

  // The description of the queue printing at `resolution`, as a command line names it.
  static std::string file_pour(int resolution);

private:
  essai::serveur_cups_prive serveur_;
  imprimante_cups imprimante_{"agent_impression"};
  imprimante_cups imprimante_pdf_{"agent_impression", delai_serveur_impression, format_document::pdf};
  std::string ligne_de_commande_;
  std::unique_ptr<Form1> fenetre_, fenetre_pdf_;
};

// The whole job alone in a fresh process of this program (the scheduler of `poste` must be
// running): its peak resident memory in bytes, start-up included.
int64_t memoire_pointe_travail(const std::string& chemin, int resolution);

// What that process runs: the job, then its peak resident memory in bytes on stdout; returns
// the exit code. Needs a QApplication; the scheduler is the one CUPS_SERVER names, inherited
// from the parent.
int travail_unique(const std::string& chemin, const std::string& ligne_de_commande);

}  // namespace agent::banc
