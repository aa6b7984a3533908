#include "bench/imprimante_grille.h"

namespace agent::banc {

imprimante_grille::imprimante_grille(format_page format) : format_(std::move(format)) {}

void imprimante_grille::dessine_point(int16_t, float x, float y, const int32_t& couleur) {
  if (!grille_) {
    const QSize pixels = pixels_page(format_);
    grille_.emplace(pixels.width(), pixels.height());
  }
  if (const auto indice = indice_couleur(static_cast<uint32_t>(couleur))) grille_->pose_point(x, y, *indice);
}

void imprimante_grille::termine_document() {
  pdf_ = grille_ ? page_pdf(*grille_, format_) : QByteArray();
  grille_.reset();
}

}  // namespace agent::banc
