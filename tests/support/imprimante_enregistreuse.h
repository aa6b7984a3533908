#pragma once
// A printer in memory for unit tests of the raster and the print runs: it records every call in
// order, keeps the page as device pixels where a later dot overwrites an earlier one, and can be
// told to fail an operation.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/erreur.h"
#include "printing/impression.h"
#include "printing/service_imprimante.h"

namespace agent {

class imprimante_enregistreuse : public service_imprimante {
public:
  struct point {
    int16_t drapeau;
    float x, y;
    int32_t couleur;
    bool operator==(const point&) const = default;
  };
  // A finished document: its printer, its copies, its pixels ((x, y) → colour) and its name.
  struct document {
    std::string imprimante;
    int16_t copies;
    std::map<std::pair<int32_t, int32_t>, int32_t> page;
    std::string nom;
  };

  explicit imprimante_enregistreuse(std::vector<imprimante> installees = {}, std::string par_defaut = {});

  std::vector<imprimante> imprimantes_installees() override;
  void rend_courante(const imprimante& choisie) override;
  void fixe_copies(const int16_t& copies) override;
  void fixe_mode_echelle(int16_t mode) override;
  // Kept for the document, not journaled: it is no step a printer could refuse.
  void nomme_document(const std::string& nom) override { nom_ = nom; }
  void dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) override;
  void termine_document() override;

  // The dialog component of the same window, writing into the same journal.
  dialogue_commun& dialogue() { return dialogue_; }

  // Calls in order: "imprimantes", "courante <queue>", "copies <n>", "propriete 26 = 5",
  // "echelle 3", "points" (one entry for a run of consecutive dots), "fin".
  const std::vector<std::string>& journal() const { return journal_; }
  const std::vector<point>& points() const { return points_; }
  const std::vector<document>& documents() const { return documents_; }
  const std::string& courante() const { return courante_; }

  // The next call of `operation` (a journal word: "copies", "points", "fin", …) throws `e`.
  void echoue_sur(const std::string& operation, erreur e) { echec_.emplace(operation, std::move(e)); }
  // Runs on every dot, after it is recorded: lets a test act from inside the raster.
  std::function<void()> au_point;

private:
  class dialogue_journalise : public dialogue_commun {
  public:
    explicit dialogue_journalise(imprimante_enregistreuse& i) : imprimante_(i) {}
    void fixe_propriete(int32_t identifiant, int16_t valeur) override;

  private:
    imprimante_enregistreuse& imprimante_;
  };

  void note(const std::string& operation, const std::string& detail = {});

  std::vector<imprimante> installees_;
  std::string courante_;
  int16_t copies_ = 1;
  std::string nom_;
  std::optional<document> ouvert_;
  std::vector<std::string> journal_;
  std::vector<point> points_;
  std::vector<document> documents_;
  std::optional<std::pair<std::string, erreur>> echec_;
  dialogue_journalise dialogue_{*this};
};

}  // namespace agent
