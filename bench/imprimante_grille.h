#pragma once
// The agent's own way to a page, without the spooler: the dots go into the page grid exactly as
// the CUPS printer puts them there, and the finished grid becomes the PDF the spooler would get.

#include <QByteArray>
#include <optional>

#include "printing/grille_points.h"
#include "printing/page_pdf.h"
#include "printing/service_imprimante.h"

namespace agent::banc {

class imprimante_grille : public service_imprimante {
public:
  explicit imprimante_grille(format_page format);

  std::vector<imprimante> imprimantes_installees() override { return {}; }
  void rend_courante(const imprimante&) override {}
  void fixe_copies(const int16_t&) override {}
  void fixe_mode_echelle(int16_t) override {}
  void dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) override;
  // Renders the page; pdf() then holds it.
  void termine_document() override;

  const QByteArray& pdf() const { return pdf_; }

private:
  format_page format_;
  std::optional<grille_points> grille_;
  QByteArray pdf_;
};

}  // namespace agent::banc
