// The page's PDF rendered by the spooler's two usual rasterisers, without a scheduler: drawn
// shapes and noise (which the page compresses differently), an odd width, several bands, and the
// page's far corner must all come out exactly as the grid holds them.

#include <gtest/gtest.h>

#include <QImage>
#include <random>
#include <string>

#include "cups/page_pdf.h"
#include "printing/couleurs.h"
#include "tests/support/page_essai.h"
#include "tests/support/rendu_page.h"

using namespace agent;
using namespace agent::essai;

namespace {

QRgb rvb(uint8_t indice) {
  if (indice == 0) return qRgb(255, 255, 255);
  const uint32_t c = couleur_indice(indice);
  return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// The grid as the page it must print as.
QImage page_de(const grille_points& grille) {
  QImage page(grille.largeur(), grille.hauteur(), QImage::Format_RGB32);
  for (int32_t y = 0; y < grille.hauteur(); ++y)
    for (int32_t x = 0; x < grille.largeur(); ++x) page.setPixel(x, y, rvb(grille.indice(x, y)));
  return page;
}

}  // namespace

TEST(PagePdf, ShapesNoiseAndPageCornersRenderExactly) {
  const format_page format = format_pour("iso_a4_210x297mm", 300);
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
  const QImage attendue = page_de(grille);
  for (rasteriseur r : {rasteriseur::pdftoppm, rasteriseur::ghostscript}) {
    EXPECT_EQ(ecarts(attendue, rasterise_pdf(pdf, format.resolution_x, r)), "")
        << (r == rasteriseur::pdftoppm ? "pdftoppm" : "ghostscript");
  }
}
