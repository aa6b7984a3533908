// The page grid as the bitmap bands the GDI service sends.

#include <gtest/gtest.h>

#include <vector>

#include "gdi/bandes_dib.h"
#include "printing/couleurs.h"

using namespace agent;

namespace {

// A 40 × 30 grid with black dots at `points`.
grille_points grille_de(std::initializer_list<std::pair<int32_t, int32_t>> points) {
  grille_points g(40, 30);
  for (const auto& [x, y] : points) g.pose(x, y, 1);
  return g;
}

}  // namespace

TEST(BandesDib, OnlyRowsWithDotsSplitAtTheHeightLimitAcrossTheFrame) {
  EXPECT_TRUE(bandes_dib(grille_points(40, 30), 8).empty());
  // Rows 2-3 and 10-20: a gap splits them, the limit cuts the second run every 4 rows.
  const grille_points g = grille_de({{5, 2}, {30, 3}, {7, 10}, {7, 11}, {7, 12}, {7, 13}, {7, 14}, {7, 15}, {7, 20}});
  const std::vector<bande_dib> attendues = {{5, 2, 31, 4}, {5, 10, 31, 14}, {5, 14, 31, 16}, {5, 20, 31, 21}};
  EXPECT_EQ(bandes_dib(g, 4), attendues);
}

TEST(BandesDib, BottomUpRowsOfBlueGreenRedOnWhite) {
  grille_points g(40, 30);
  g.pose(3, 4, 1);  // black
  g.pose(4, 4, indice_couleur(rouge_254).value());
  g.pose(3, 5, indice_couleur(vert_rouge_1).value());
  const bande_dib bande{3, 4, 5, 6};
  std::vector<uint8_t> pixels(octets_ligne_dib(2) * 2, 0xAA);
  ASSERT_EQ(octets_ligne_dib(2), 8u);
  remplit_bande(g, bande, pixels);
  // Row 5 first (bottom-up), then row 4; each pixel blue, green, red; padding untouched.
  const std::vector<uint8_t> attendus = {0x00, 0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0xAA, 0xAA,
                                         0x00, 0x00, 0x00, 0x00, 0x00, 0xFE, 0xAA, 0xAA};
  EXPECT_EQ(pixels, attendus);
}
