#pragma once
// The printers of the machine's print scheduler (CUPS). The page is built in memory as device
// pixels, rendered to one PDF page when the document ends, and submitted as one job whose every
// step is checked: nothing reported by the scheduler as a failure is ever taken for success.
//
// Each operation opens its own connection to the scheduler and waits at most `delai` for any one
// answer, so a scheduler that hangs turns into an error instead of a frozen agent.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "printing/grille_points.h"
#include "printing/page_pdf.h"
#include "printing/service_imprimante.h"

namespace agent {

constexpr std::chrono::milliseconds delai_serveur_impression{5000};

class imprimante_cups : public service_imprimante {
public:
  // `titre` names every job in the queue (the application's title).
  explicit imprimante_cups(std::string titre, std::chrono::milliseconds delai = delai_serveur_impression);

  // The scheduler's queues in its own order (by name, ignoring case), each with its description.
  std::vector<imprimante> imprimantes_installees() override;
  // Only the queue name is kept; the queue is looked up afresh whenever it is used.
  void rend_courante(const imprimante& choisie) override;
  // Refused below 1 and above the queue's own maximum, before any job exists.
  void fixe_copies(const int16_t& copies) override;
  // Only device pixels (3).
  void fixe_mode_echelle(int16_t mode) override;
  // The first dot reads the queue's resolution and paper, and sizes the page from them.
  void dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) override;
  // A document without a dot on the paper submits nothing: no blank sheet comes out.
  void termine_document() override;

private:
  struct document {
    std::string file;
    format_page format;
    grille_points grille;
  };

  std::string titre_;
  std::chrono::milliseconds delai_;
  std::optional<std::string> choisie_;  // empty: the scheduler's default queue
  int16_t copies_ = 1;
  std::optional<document> ouvert_;
};

}  // namespace agent
