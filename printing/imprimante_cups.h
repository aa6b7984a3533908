#pragma once
// The printers of the machine's print scheduler (CUPS). The page is built in memory as device
// pixels, rendered to one PDF page when the document ends, and submitted as one job whose every
// step is checked: nothing reported by the scheduler as a failure is ever taken for success.
//
// Each operation opens its own connection to the scheduler and waits at most `delai` for any one
// answer, so a scheduler that hangs turns into an error instead of a frozen agent.
//
// The queue is looked up afresh for every document, once: by the copy count that starts a print
// run (or by the first dot when none came first), and the document keeps what it found until it is
// submitted. Each lookup costs the scheduler's whole description of the queue, several
// milliseconds; three per page made them most of the time of a small job.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "printing/grille_points.h"
#include "printing/page_pdf.h"
#include "printing/service_imprimante.h"

namespace agent {

constexpr std::chrono::milliseconds delai_serveur_impression{5000};

struct file_decrite;  // a queue as one lookup found it, with the page it prints

class imprimante_cups : public service_imprimante {
public:
  // `titre` names every job in the queue (the application's title).
  explicit imprimante_cups(std::string titre, std::chrono::milliseconds delai = delai_serveur_impression);

  // The scheduler's queues in its own order (by name, ignoring case), each with its description.
  std::vector<imprimante> imprimantes_installees() override;
  // Only the queue name is kept.
  void rend_courante(const imprimante& choisie) override;
  // Refused below 1 and above the queue's own maximum, before any job exists. Looks the queue up
  // for the document to come.
  void fixe_copies(const int16_t& copies) override;
  // Only device pixels (3).
  void fixe_mode_echelle(int16_t mode) override;
  // The first dot sizes the page from the queue's resolution and paper.
  void dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) override;
  // A document without a dot on the paper submits nothing: no blank sheet comes out.
  void termine_document() override;

  ~imprimante_cups() override;

private:
  struct document {
    std::unique_ptr<file_decrite> file;
    grille_points grille;
  };

  std::string titre_;
  std::chrono::milliseconds delai_;
  std::optional<std::string> choisie_;  // empty: the scheduler's default queue
  int16_t copies_ = 1;
  std::unique_ptr<file_decrite> prochaine_;  // found by the copy count, for the next document
  std::optional<document> ouvert_;
};

}  // namespace agent
