#include "gdi/imprimante_gdi.h"

#include "core/journal.h"

namespace agent {

namespace {

const imprimante essai{"QLS4100", "QLS-4100 Xe drivers standard"};

}  // namespace

imprimante_gdi::imprimante_gdi(std::string application) : application_(std::move(application)), courante_(essai) {}

std::vector<imprimante> imprimante_gdi::imprimantes_installees() { return {essai}; }

void imprimante_gdi::rend_courante(const imprimante& choisie) { courante_ = choisie; }

void imprimante_gdi::fixe_copies(const int16_t& copies) { copies_ = copies; }

void imprimante_gdi::fixe_mode_echelle(int16_t) {}

void imprimante_gdi::dessine_point(int16_t, float, float, const int32_t&) { ++points_; }

void imprimante_gdi::termine_document() {
  note_info("document : application=%s imprimante=%s copies=%d points=%lld", champ(application_).c_str(),
            champ(courante_.description).c_str(), copies_, static_cast<long long>(points_));
  points_ = 0;
}

}  // namespace agent
