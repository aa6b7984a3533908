#include "tests/support/imprimante_enregistreuse.h"

#include <cmath>

namespace agent {

imprimante_enregistreuse::imprimante_enregistreuse(std::vector<imprimante> installees, std::string par_defaut)
    : installees_(std::move(installees)), courante_(std::move(par_defaut)) {}

void imprimante_enregistreuse::note(const std::string& operation, const std::string& detail) {
  if (echec_ && echec_->first == operation) {
    erreur e = echec_->second;
    echec_.reset();
    throw e;
  }
  if (operation == "points" && !journal_.empty() && journal_.back() == "points") return;
  journal_.push_back(detail.empty() ? operation : operation + " " + detail);
}

std::vector<imprimante> imprimante_enregistreuse::imprimantes_installees() {
  note("imprimantes");
  return installees_;
}

void imprimante_enregistreuse::rend_courante(const imprimante& choisie) {
  note("courante", choisie.file);
  courante_ = choisie.file;
}

void imprimante_enregistreuse::fixe_copies(const int16_t& copies) {
  note("copies", std::to_string(copies));
  copies_ = copies;
}

void imprimante_enregistreuse::fixe_mode_echelle(int16_t mode) { note("echelle", std::to_string(mode)); }

void imprimante_enregistreuse::dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) {
  note("points");
  points_.push_back({drapeau, x, y, couleur});
  if (!ouvert_) ouvert_ = document{courante_, copies_, {}, nom_};
  ouvert_->page[{static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))}] = couleur;
  if (au_point) au_point();
}

void imprimante_enregistreuse::termine_document() {
  note("fin");
  documents_.push_back(ouvert_ ? std::move(*ouvert_) : document{courante_, copies_, {}, nom_});
  ouvert_.reset();
}

void imprimante_enregistreuse::dialogue_journalise::fixe_propriete(int32_t identifiant, int16_t valeur) {
  imprimante_.note("propriete", std::to_string(identifiant) + " = " + std::to_string(valeur));
}

}  // namespace agent
