// The CUPS raster page in each colour space and depth a driver may ask for, read back as a driver
// would, without a scheduler: the seven colours as pure inks in the right order, the raster taken
// from the header's imageable area, and black-only pages refusing a colour. The PWG raster page,
// whose rows the agent compresses itself, read back the same way.

#include <gtest/gtest.h>

#include <QImage>

#include <random>

#include "cups/page_cups.h"
#include "cups/page_pwg.h"
#include "tests/support/couleurs_essai.h"
#include "tests/support/erreur_levee.h"
#include "tests/support/page_essai.h"
#include "tests/support/rendu_page.h"

using namespace agent;
using namespace agent::essai;

namespace {

// A 300-dpi header for 30 × 10 raster pixels whose imageable area starts 10 pixels across and 20
// down on a 40 × 30 pixel sheet.
cups_page_header2_t entete(cups_cspace_t espace, unsigned bits_couleur, unsigned bits_pixel) {
  cups_page_header2_t e{};
  e.HWResolution[0] = e.HWResolution[1] = 300;
  e.cupsPageSize[0] = 40 * 72 / 300.0f;
  e.cupsPageSize[1] = 30 * 72 / 300.0f;
  e.cupsImagingBBox[0] = 10 * 72 / 300.0f;
  e.cupsImagingBBox[3] = e.cupsPageSize[1] - 20 * 72 / 300.0f;
  e.cupsWidth = 30;
  e.cupsHeight = 10;
  e.cupsColorOrder = CUPS_ORDER_CHUNKED;
  e.cupsColorSpace = espace;
  e.cupsBitsPerColor = bits_couleur;
  e.cupsBitsPerPixel = bits_pixel;
  e.cupsBytesPerLine = (30 * bits_pixel + 7) / 8;
  return e;
}

}  // namespace

TEST(PageCups, EachSpaceGetsTheSevenColoursAsItsInks) {
  grille_points grille(40, 30);
  for (uint8_t i = 1; i <= 7; ++i) grille.pose(9 + i, 20, i);  // raster columns 0 … 6 of row 0
  grille.pose(39, 29, 1);                                      // the raster's far corner
  grille.pose(0, 0, 1);                                        // outside the imageable area
  const struct {
    cups_cspace_t espace;
    unsigned bits_couleur, bits_pixel;
  } espaces[] = {{CUPS_CSPACE_SRGB, 8, 24}, {CUPS_CSPACE_CMY, 8, 24}, {CUPS_CSPACE_CMY, 1, 4},
                 {CUPS_CSPACE_CMYK, 8, 32}, {CUPS_CSPACE_KCMY, 1, 4}, {CUPS_CSPACE_KCMY, 8, 32}};
  for (const auto& s : espaces) {
    const auto pages = pages_raster(page_cups(grille, entete(s.espace, s.bits_couleur, s.bits_pixel)));
    ASSERT_EQ(pages.size(), 1u);
    QImage attendue(30, 10, QImage::Format_RGB32);
    attendue.fill(Qt::white);
    for (int x = 0; x < 7; ++x) attendue.setPixel(x, 0, sept_couleurs[static_cast<size_t>(x)]);
    attendue.setPixel(29, 9, sept_couleurs[0]);
    if (s.espace != CUPS_CSPACE_SRGB) attendue = par_encres(attendue);
    EXPECT_EQ(ecarts(attendue, pages[0]), "") << s.espace << " " << s.bits_couleur;
  }

  // Black prints on a black-only page; a colour would print as grey or not at all.
  for (const auto& [espace, bits] : {std::pair{CUPS_CSPACE_K, 1u}, std::pair{CUPS_CSPACE_SW, 8u}}) {
    grille_points noir(40, 30);
    noir.pose(12, 21, 1);
    QImage attendue(30, 10, QImage::Format_RGB32);
    attendue.fill(Qt::white);
    attendue.setPixel(2, 1, qRgb(0, 0, 0));
    EXPECT_EQ(ecarts(attendue, pages_raster(page_cups(noir, entete(espace, bits, bits))).at(0)), "") << espace;
    noir.pose(13, 21, 6);
    auto e = erreur_levee([&] { page_cups(noir, entete(espace, bits, bits)); });
    ASSERT_TRUE(e) << espace;
    EXPECT_EQ(e->code(), code_erreur::erreur_imprimante);
  }

  // What cannot be written exactly goes as PDF instead.
  cups_page_header2_t bande = entete(CUPS_CSPACE_CMYK, 8, 8);
  bande.cupsColorOrder = CUPS_ORDER_BANDED;
  for (const cups_page_header2_t& e : {entete(CUPS_CSPACE_RGB, 1, 4), entete(CUPS_CSPACE_CMYK, 2, 8),
                                       entete(CUPS_CSPACE_CMYK, 16, 64), entete(CUPS_CSPACE_RGBW, 8, 32), bande})
    EXPECT_FALSE(entete_exacte(e)) << e.cupsColorSpace << " " << e.cupsBitsPerColor;
}

TEST(PagePwg, RunsNoiseAndRepeatedRowsReadBackExactly) {
  // An odd width; runs longer than a count byte holds, noise longer than one literal stretch,
  // pairs between single pixels, a dot on the last column, and more alike rows than one count.
  grille_points grille(301, 600);
  std::mt19937 alea(7);
  for (int32_t x = 0; x < 200; ++x) grille.pose(x, 0, 3);
  for (int32_t x = 200; x < 290; ++x) grille.pose(x, 0, static_cast<uint8_t>(alea() % 8));
  for (int32_t x = 290; x < 299; ++x) grille.pose(x, 0, x % 3 == 2 ? 1 : 7);
  grille.pose(300, 0, 5);
  for (int32_t y = 1; y < 4; ++y)
    for (int32_t x = 0; x < 301; ++x) grille.pose(x, y, grille.indice(x, 0));
  for (int32_t x = 0; x < 301; ++x) grille.pose(x, 4, static_cast<uint8_t>(alea() % 8));
  for (int32_t y = 10; y < 600; ++y) grille.pose(y % 301, y < 300 ? 10 : y, 2);
  for (int32_t y = 300; y < 600; ++y) grille.pose(0, y, 6);

  const auto pages = pages_raster(page_pwg(grille, format_pour("iso_a4_210x297mm", 300)));
  ASSERT_EQ(pages.size(), 1u);
  QImage attendue(301, 600, QImage::Format_RGB32);
  for (int32_t y = 0; y < 600; ++y)
    for (int32_t x = 0; x < 301; ++x) {
      const uint8_t i = grille.indice(x, y);
      attendue.setPixel(x, y, i == 0 ? qRgb(255, 255, 255) : sept_couleurs[i - 1u]);
    }
  EXPECT_EQ(ecarts(attendue, pages[0]), "");
}
