#pragma once
// The printers of the machine's print scheduler (CUPS). The page is built in memory as device
// pixels on the queue's own medium at its resolution, rendered when the document ends (as PWG
// raster for a queue that hands it straight to its printer, as CUPS raster for a raster driver, as
// PDF for the others) and submitted as one job whose every step is checked: nothing reported by
// the scheduler as a failure is ever taken for success.
//
// Each operation opens its own connection to the scheduler and waits at most `delai` for any one
// answer, so a scheduler that hangs turns into an error instead of a frozen agent.
//
// The queue is looked up once per document: by the copy count that starts a print run (or by the
// first dot when none came first), and the document keeps what it found until it is submitted.
// The lookup (the queue's whole description and its PPD) is the dearest round trip of a small
// job, so it is never repeated within one. It refuses a queue that cannot print colour.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "printing/grille_points.h"
#include "printing/service_imprimante.h"

namespace agent {

constexpr std::chrono::milliseconds delai_serveur_impression{5000};

struct file_decrite;  // a queue as one lookup found it, with the page it prints

// How pages reach the queue. By default a queue that passes PWG raster untouched to its printer
// (a driverless queue) gets PWG raster at its resolution, a raster driver the CUPS raster its PPD
// asks for, every other queue a PDF page; `pdf` sends PDF everywhere (the benchmarks set the ways
// side by side).
enum class format_document { selon_file, pdf };

class imprimante_cups : public service_imprimante {
public:
  // `titre` names a job whose document was given no name (the application's title).
  explicit imprimante_cups(std::string titre, std::chrono::milliseconds delai = delai_serveur_impression,
                           format_document envoi = format_document::selon_file);

  // The scheduler's queues in its own order (by name, ignoring case), each with its description.
  std::vector<imprimante> imprimantes_installees() override;
  // Only the queue name is kept.
  void rend_courante(const imprimante& choisie) override;
  // Refused below 1 and above the queue's own maximum, before any job exists. Looks the queue up
  // for the document to come, and refuses one that cannot print colour.
  void fixe_copies(const int16_t& copies) override;
  // Only device pixels (3).
  void fixe_mode_echelle(int16_t mode) override;
  // The job's name in the queue; what IPP cannot carry of it (bytes that are not UTF-8, control
  // characters, beyond 255 bytes) is replaced or cut, never a reason to refuse the job.
  void nomme_document(const std::string& nom) override;
  // The first dot sizes the page from the queue's resolution and its own default medium.
  void dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) override;
  void dessine_plages(int16_t drapeau, std::span<const plage_points> plages) override;
  // A document without a dot on the paper submits nothing: no blank sheet comes out.
  void termine_document() override;
  envoi_document dernier_envoi() const override { return dernier_envoi_; }
  void retient_prochain(const std::string& uuid) override;
  // Held by this user in any queue; one request to the scheduler.
  std::vector<travail_retenu> travaux_retenus(const std::string& prefixe) override;
  void libere_travail(const travail_retenu& t) override;
  void annule_travail(const travail_retenu& t) override;
  // Two requests (the jobs that have not ended, the queues' states), and one more for each job
  // that ended since the last look.
  std::optional<std::vector<nouvelles_travail>> nouvelles(const std::vector<travail_retenu>& travaux) override;

  ~imprimante_cups() override;

private:
  struct document {
    std::unique_ptr<file_decrite> file;
    grille_points grille;
    std::string nom;
    int64_t points = 0;
  };

  grille_points& grille_ouverte();

  std::string titre_;
  std::chrono::milliseconds delai_;
  std::optional<std::string> choisie_;  // empty: the scheduler's default queue
  format_document envoi_;
  int16_t copies_ = 1;
  std::string nom_document_;
  std::string uuid_prochain_;                // empty: the next document is not held
  std::unique_ptr<file_decrite> prochaine_;  // found by the copy count, for the next document
  std::optional<document> ouvert_;
  // The last document's page, kept for the next one of its size: clearing the part it used costs
  // less than the system's zeroing of a fresh page and its faults, on every job of a day.
  std::optional<grille_points> grille_reprise_;
  envoi_document dernier_envoi_;
};

}  // namespace agent
