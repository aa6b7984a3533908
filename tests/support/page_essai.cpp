#include "tests/support/page_essai.h"

#include <cstdio>

#include "printing/imprimante_enregistreuse.h"
#include "printing/trame_points.h"

namespace agent::essai {

namespace {

struct suivi_muet : suivi_trame {
  void laisse_evenements() override {}
  void fixe_titre(const std::string&) override {}
};

}  // namespace

QImage page_attendue(const surface_lecture& s, QSize taille) {
  imprimante_enregistreuse reference;
  suivi_muet suivi;
  trame_points(s, reference, suivi);
  reference.termine_document();
  QImage page(taille, QImage::Format_RGB32);
  page.fill(Qt::white);
  for (const auto& [position, c] : reference.documents().at(0).page)
    page.setPixel(position.first, position.second, qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
  return page;
}

std::string ecarts(const QImage& attendue, const QImage& rendue) {
  // Rasterisers round the page up to whole pixels: one more row and column may show, blank.
  if (rendue.width() < attendue.width() || rendue.width() > attendue.width() + 1 ||
      rendue.height() < attendue.height() || rendue.height() > attendue.height() + 1)
    return "taille " + std::to_string(rendue.width()) + "x" + std::to_string(rendue.height());
  int64_t nombre = 0;
  std::string premier;
  for (int y = 0; y < rendue.height(); ++y) {
    const auto* r = reinterpret_cast<const QRgb*>(rendue.constScanLine(y));
    const auto* a = y < attendue.height() ? reinterpret_cast<const QRgb*>(attendue.constScanLine(y)) : nullptr;
    for (int x = 0; x < rendue.width(); ++x) {
      const QRgb voulu = a && x < attendue.width() ? a[x] : qRgb(255, 255, 255);
      if ((r[x] & 0xFFFFFF) == (voulu & 0xFFFFFF)) continue;
      if (nombre++ == 0) {
        char texte[96];
        std::snprintf(texte, sizeof texte, " (premier en %d,%d : %06X au lieu de %06X)", x, y, r[x] & 0xFFFFFF,
                      voulu & 0xFFFFFF);
        premier = texte;
      }
    }
  }
  return nombre ? std::to_string(nombre) + " pixels" + premier : "";
}

}  // namespace agent::essai
