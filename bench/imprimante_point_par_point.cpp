#include "bench/imprimante_point_par_point.h"

#include <QPen>
#include <stdexcept>

#include "app/couleurs_qt.h"

namespace agent::banc {

imprimante_point_par_point::imprimante_point_par_point(format_page format) : format_(std::move(format)) {}

imprimante_point_par_point::~imprimante_point_par_point() {
  if (peintre_.isActive()) peintre_.end();
}

void imprimante_point_par_point::dessine_point(int16_t, float x, float y, const int32_t& couleur) {
  if (!pdf_writer_) {
    tampon_.setData(QByteArray());
    tampon_.open(QIODevice::WriteOnly);
    pdf_writer_ = std::make_unique<QPdfWriter>(&tampon_);
    pdf_writer_->setResolution(format_.resolution_x);  // the bench lays its pages out in square pixels
    pdf_writer_->setPageLayout(
        QPageLayout(QPageSize(points_page(format_), QPageSize::Point, QString(), QPageSize::ExactMatch),
                    QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    if (!peintre_.begin(pdf_writer_.get())) throw std::runtime_error("QPdfWriter refuse de peindre");
    couleur_courante_ = -1;
  }
  // A pen per change of colour, not per dot: what a careful straightforward driver would do.
  if (couleur != couleur_courante_) {
    const auto c = static_cast<uint32_t>(couleur);
    QPen stylo{QColor(qrgb_de(c))};
    stylo.setWidth(1);
    peintre_.setPen(stylo);
    couleur_courante_ = couleur;
  }
  peintre_.drawPoint(QPointF(x, y));
}

void imprimante_point_par_point::termine_document() {
  if (!pdf_writer_) {
    pdf_.clear();
    return;
  }
  peintre_.end();
  pdf_writer_.reset();
  tampon_.close();
  pdf_ = tampon_.data();
}

}  // namespace agent::banc
