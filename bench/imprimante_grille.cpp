#include "bench/imprimante_grille.h"

#include "core/arithmetique.h"

namespace agent::banc {

imprimante_grille::imprimante_grille(format_page format) : format_(std::move(format)) {}

void imprimante_grille::dessine_point(int16_t, float x, float y, const int32_t& couleur) {
  if (!grille_) {
    const QSize pixels = pixels_page(format_);
    grille_.emplace(pixels.width(), pixels.height());
  }
  const auto indice = indice_couleur(static_cast<uint32_t>(couleur));
  const double colonne = arrondi_pair(x), ligne = arrondi_pair(y);
  if (!indice || !(colonne >= 0 && colonne < grille_->largeur() && ligne >= 0 && ligne < grille_->hauteur())) return;
  grille_->pose(static_cast<int32_t>(colonne), static_cast<int32_t>(ligne), *indice);
}

void imprimante_grille::termine_document() {
  pdf_ = grille_ ? page_pdf(*grille_, format_) : QByteArray();
  grille_.reset();
}

}  // namespace agent::banc
