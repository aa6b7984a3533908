#include <gtest/gtest.h>

#include "printing/couleurs_qt.h"
#include "printing/grille_points.h"

using namespace agent;

TEST(GrillePoints, LastDotWinsAndOffPageDotsAreDropped) {
  grille_points g(10, 5);
  EXPECT_TRUE(g.vide());
  g.pose(-1, 2, 1);
  g.pose(10, 2, 1);
  g.pose(3, 5, 1);
  EXPECT_TRUE(g.vide());

  g.pose(4, 2, *indice_couleur(rouge));
  g.pose(4, 2, *indice_couleur(noir));
  g.pose(9, 4, *indice_couleur(vert_rouge_1));
  EXPECT_EQ(couleur_indice(g.indice(4, 2)), noir);
  EXPECT_EQ(couleur_indice(g.indice(9, 4)), vert_rouge_1);
  EXPECT_EQ(g.indice(5, 2), 0);
  EXPECT_EQ(g.cadre(), (cadre_points{4, 2, 10, 5}));
  g.pose(0, 0, 1);
  EXPECT_EQ(g.cadre(), (cadre_points{0, 0, 10, 5}));
}

TEST(GrillePoints, OnlyTheSevenColoursHaveAnIndex) {
  for (uint32_t c : couleurs_imprimables) EXPECT_EQ(couleur_indice(*indice_couleur(c)), c);
  for (uint32_t c : {0xFFFFFFu, 0x00FE00u, 0x010000u, 0xFFFFFFFFu}) EXPECT_FALSE(indice_couleur(c)) << c;
  // Red in the low byte, whichever way a colour goes.
  EXPECT_EQ(couleur_de(qRgb(255, 0, 0)), rouge);
  EXPECT_EQ(couleur_de(qRgba(1, 255, 0, 0)), vert_rouge_1);
  EXPECT_EQ(qrgb_de(bleu_254), qRgb(0, 0, 254));
}
