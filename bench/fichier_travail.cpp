#include "bench/fichier_travail.h"

#include "tests/support/bmp_essai_qt.h"
#include "tests/support/processus_essai.h"

namespace agent::banc {

fichier_travail::fichier_travail() : dossier_(essai::dossier_temporaire("agent_banc_")) {}

fichier_travail::~fichier_travail() {
  std::error_code ignore;
  std::filesystem::remove_all(dossier_, ignore);
}

void fichier_travail::prepare(sorte_entree sorte, QSize taille) {
  if (tenue_ && tenue_->first == sorte && tenue_->second == taille) return;
  surface_.efface();
  tenue_.reset();
  // The copy count 1 in the third field, as the job files the agent takes are named.
  chemin_ = (dossier_ / ("banc_" + nom_entree(sorte) + "_1.bmp2")).string();
  essai::ecrit_fichier(chemin_, essai::ecrit_bmp(genere_entree(sorte, taille), 24));
  surface_.charge(chemin_);
  tenue_.emplace(sorte, taille);
}

const std::string& fichier_travail::chemin_un_pixel() {
  if (chemin_un_pixel_.empty()) {
    QImage point(1, 1, QImage::Format_RGB32);
    point.fill(Qt::black);
    const std::string chemin = (dossier_ / "banc_un_pixel_1.bmp2").string();
    essai::ecrit_fichier(chemin, essai::ecrit_bmp(point, 24));
    chemin_un_pixel_ = chemin;
  }
  return chemin_un_pixel_;
}

}  // namespace agent::banc
