// The page's PDF rendered by the spooler's two usual rasterisers, without a scheduler: drawn
// shapes and noise (which the page compresses differently), an odd width, several bands, and the
// page's far corner must all come out exactly as the grid holds them.

#include <gtest/gtest.h>

#include <QImage>
#include <random>
#include <string>

#include "printing/couleurs.h"
#include "printing/page_pdf.h"
#include "tests/support/serveur_cups_prive.h"

using namespace agent;
using namespace agent::essai;

namespace {

QRgb rvb(uint8_t indice) {
  if (indice == 0) return qRgb(255, 255, 255);
  const uint32_t c = couleur_indice(indice);
  return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// "" when every pixel of `rendue` is the grid's colour (white beyond it, where rasterisers
// round the page up by one row or column); else how many differ and the first one.
std::string ecarts(const grille_points& grille, const QImage& rendue) {
  if (rendue.width() < grille.largeur() || rendue.width() > grille.largeur() + 1 ||
      rendue.height() < grille.hauteur() || rendue.height() > grille.hauteur() + 1)
    return "taille " + std::to_string(rendue.width()) + "x" + std::to_string(rendue.height());
  int64_t nombre = 0;
  std::string premier;
  for (int y = 0; y < rendue.height(); ++y) {
    const auto* r = reinterpret_cast<const QRgb*>(rendue.constScanLine(y));
    for (int x = 0; x < rendue.width(); ++x) {
      const bool dedans = x < grille.largeur() && y < grille.hauteur();
      const QRgb voulu = rvb(dedans ? grille.indice(x, y) : 0);
      if ((r[x] & 0xFFFFFF) == (voulu & 0xFFFFFF)) continue;
      if (nombre++ == 0) premier = " (premier en " + std::to_string(x) + "," + std::to_string(y) + ")";
    }
  }
  return nombre ? std::to_string(nombre) + " pixels" + premier : "";
}

}  // namespace

TEST(PagePdf, ShapesNoiseAndPageCornersRenderExactly) {
  const format_page format{QPageSize(QPageSize::A4), 300};
  const QSize pixels = pixels_page(format);
  grille_points grille(pixels.width(), pixels.height());
  std::mt19937 alea(11);
  // Noise across the boundary between the first two bands, every colour and white.
  for (int32_t y = 200; y < 330; ++y)
    for (int32_t x = 31; x < 420; ++x) grille.pose(x, y, static_cast<uint8_t>(alea() % 8));
  // Stripes and blocks of each colour further down, over an odd number of columns.
  for (int32_t y = 400; y < 900; ++y)
    for (int32_t x = 31; x < 1031; ++x)
      if ((x / 37 + y / 23) % 3 != 0) grille.pose(x, y, static_cast<uint8_t>(1 + (x / 37 + y / 23) % 7));
  // The page's last pixel, and a leftmost column that makes the images an odd number wide.
  grille.pose(pixels.width() % 2 == 0 ? 31 : 30, 0, *indice_couleur(vert_rouge_1));
  grille.pose(pixels.width() - 1, pixels.height() - 1, *indice_couleur(bleu_254));
  ASSERT_EQ(grille.cadre().largeur() % 2, 1);

  const QByteArray pdf = page_pdf(grille, format);
  for (rasteriseur r : {rasteriseur::pdftoppm, rasteriseur::ghostscript}) {
    EXPECT_EQ(ecarts(grille, rasterise_pdf(pdf, format.resolution, r)), "")
        << (r == rasteriseur::pdftoppm ? "pdftoppm" : "ghostscript");
  }
}
