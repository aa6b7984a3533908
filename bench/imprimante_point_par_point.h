#pragma once
// The straightforward printer the agent is compared with: every dot becomes one QPainter point
// of its colour in a QPdfWriter page at the printer's resolution, as the platform's own printing
// objects would spool it. The bench's baseline only; the agent never prints this way.

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <memory>

#include "cups/page_pdf.h"
#include "printing/imprimante_seule.h"

namespace agent::banc {

class imprimante_point_par_point : public imprimante_seule {
public:
  explicit imprimante_point_par_point(format_page format);
  ~imprimante_point_par_point() override;

  void dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) override;
  void termine_document() override;

  const QByteArray& pdf() const { return pdf_; }

private:
  format_page format_;
  QBuffer tampon_;
  std::unique_ptr<QPdfWriter> pdf_writer_;
  QPainter peintre_;
  int32_t couleur_courante_ = -1;
  QByteArray pdf_;
};

}  // namespace agent::banc
