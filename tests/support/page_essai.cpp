#include "tests/support/page_essai.h"

#include <cstdio>

#include "app/couleurs_qt.h"
#include "printing/trame_points.h"
#include "tests/support/imprimante_enregistreuse.h"

namespace agent::essai {

namespace {}  // namespace

QImage page_attendue(const surface_lecture& s, QSize taille) {
  imprimante_enregistreuse reference;
  suivi_sans_fenetre suivi;
  trame_points(s, reference, suivi);
  reference.termine_document();
  QImage page(taille, QImage::Format_RGB32);
  page.fill(Qt::white);
  for (const auto& [position, c] : reference.documents().at(0).page) {
    // The paper ends where it ends: dots beyond it are lost.
    if (page.rect().contains(position.first, position.second))
      page.setPixel(position.first, position.second, qrgb_de(static_cast<uint32_t>(c)));
  }
  return page;
}

namespace {

// Rasterisers round the page up to whole pixels: one more row and column may show, blank.
bool tailles_compatibles(const QImage& attendue, const QImage& rendue) {
  return rendue.width() >= attendue.width() && rendue.width() <= attendue.width() + 1 &&
         rendue.height() >= attendue.height() && rendue.height() <= attendue.height() + 1;
}

// Calls `ecart(x, y, rendu, voulu)` for each pixel that differs; how many did.
template <typename fonction>
int64_t compare(const QImage& attendue, const QImage& rendue, fonction ecart) {
  int64_t nombre = 0;
  for (int y = 0; y < rendue.height(); ++y) {
    const auto* r = reinterpret_cast<const QRgb*>(rendue.constScanLine(y));
    const auto* a = y < attendue.height() ? reinterpret_cast<const QRgb*>(attendue.constScanLine(y)) : nullptr;
    for (int x = 0; x < rendue.width(); ++x) {
      const QRgb voulu = a && x < attendue.width() ? a[x] : qRgb(255, 255, 255);
      if ((r[x] & 0xFFFFFF) == (voulu & 0xFFFFFF)) continue;
      ecart(x, y, r[x], voulu, nombre++);
    }
  }
  return nombre;
}

}  // namespace

std::string ecarts(const QImage& attendue, const QImage& rendue) {
  if (!tailles_compatibles(attendue, rendue))
    return "taille " + std::to_string(rendue.width()) + "x" + std::to_string(rendue.height());
  std::string premier;
  const int64_t nombre = compare(attendue, rendue, [&](int x, int y, QRgb rendu, QRgb voulu, int64_t rang) {
    if (rang > 0) return;
    char texte[96];
    std::snprintf(texte, sizeof texte, " (premier en %d,%d : %06X au lieu de %06X)", x, y, rendu & 0xFFFFFF,
                  voulu & 0xFFFFFF);
    premier = texte;
  });
  return nombre ? std::to_string(nombre) + " pixels" + premier : "";
}

int64_t pixels_differents(const QImage& attendue, const QImage& rendue) {
  if (!tailles_compatibles(attendue, rendue)) return -1;
  return compare(attendue, rendue, [](int, int, QRgb, QRgb, int64_t) {});
}

}  // namespace agent::essai
