#include <gtest/gtest.h>

#include "core/erreur.h"
#include "printing/couleurs.h"
#include "printing/grille_points.h"
#include "printing/indice_point.h"

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
}

TEST(GrillePoints, ARunOfDotsLandsAsThatManySingleDots) {
  // Runs starting and ending on either half of a byte, with and without their companions, over
  // one another and other dots, cut by the page's edges or off it: laid whole and dot by dot alike.
  const std::vector<plage_points> plages = {
      {3, 2, 13, noir, true},        {4, 2, 11, rouge, false}, {0, 3, 3, bleu, false},  {5, 3, 1, bleu, false},
      {7, 3, 4, bleu, false},        {0, 1, 2, noir, true},    {17, 3, 6, vert, false}, {18, 4, 1, noir, true},
      {1, 0, 1, bleu_254, false},    {2, 0, 2, vert, true},    {5, 5, 3, rouge, false}, {-3, 4, 2, rouge, false},
      {19, 1, 1, noir, true},        {20, 0, 2, noir, true},   {1, 1, 17, vert, false}, {0, 4, 20, bleu, false},
      {4, 3, 1, vert_rouge_1, false}};
  grille_points une_a_une(20, 5), par_plages(20, 5);
  for (const plage_points& p : plages) {
    const uint8_t octet = indice_point(drapeau_point_absolu, p.couleur);
    points_de(p, [&](float x, float y) { une_a_une.pose_point(x, y, octet); });
  }
  pose_plages(drapeau_point_absolu, plages, [&]() -> grille_points& { return par_plages; });
  EXPECT_EQ(couleur_indice(par_plages.indice(2, 2)), noir);
  EXPECT_EQ(couleur_indice(par_plages.indice(17, 1)), vert);
  EXPECT_EQ(couleur_indice(par_plages.indice(14, 2)), rouge);
  EXPECT_EQ(couleur_indice(par_plages.indice(19, 0)), noir);
  EXPECT_EQ(par_plages.cadre(), une_a_une.cadre());
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 20; ++x) EXPECT_EQ(par_plages.indice(x, y), une_a_une.indice(x, y)) << x << "," << y;

  // A page cleared for the next document has no dot left.
  par_plages.efface();
  EXPECT_TRUE(par_plages.vide());
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 20; ++x) EXPECT_EQ(par_plages.indice(x, y), 0) << x << "," << y;

  // A colour outside the seven stops the runs where they stand, the dots before it drawn.
  const std::vector<plage_points> fautives = {
      {0, 0, 2, rouge, false}, {2, 0, 1, 0x123456, false}, {3, 0, 1, rouge, false}};
  grille_points arretee(10, 5);
  EXPECT_THROW(pose_plages(drapeau_point_absolu, fautives, [&]() -> grille_points& { return arretee; }), erreur);
  EXPECT_EQ(couleur_indice(arretee.indice(1, 0)), rouge);
  EXPECT_EQ(arretee.indice(3, 0), 0);
}
