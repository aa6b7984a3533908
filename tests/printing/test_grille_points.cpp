#include <gtest/gtest.h>

#include "core/erreur.h"
#include "printing/couleurs_qt.h"
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
  // Red in the low byte, whichever way a colour goes.
  EXPECT_EQ(couleur_de(qRgb(255, 0, 0)), rouge);
  EXPECT_EQ(couleur_de(qRgba(1, 255, 0, 0)), vert_rouge_1);
  EXPECT_EQ(qrgb_de(bleu_254), qRgb(0, 0, 254));
}

TEST(GrillePoints, ARunOfDotsLandsAsThatManySingleDots) {
  // Overwritten, rounded to the pixel (ties to even), off the page: one by one and as a run alike.
  const std::vector<point_page> points = {{5, 1, rouge},         {4.5f, 1, vert},   {5, 1, noir},
                                          {2.5f, 3.5f, bleu},    {-0.6f, 0, rouge}, {9.4f, 4.5f, bleu_254},
                                          {1e30f, 2, int32_t{0}}};
  grille_points attendue(10, 5), obtenue(10, 5);
  for (const point_page& p : points) attendue.pose_point(p.x, p.y, indice_point(drapeau_point_absolu, p.couleur));
  pose_points(drapeau_point_absolu, points, [&]() -> grille_points& { return obtenue; });
  EXPECT_EQ(couleur_indice(obtenue.indice(5, 1)), noir);
  EXPECT_EQ(couleur_indice(obtenue.indice(4, 1)), vert);
  EXPECT_EQ(couleur_indice(obtenue.indice(2, 4)), bleu);
  EXPECT_EQ(couleur_indice(obtenue.indice(9, 4)), bleu_254);
  EXPECT_EQ(obtenue.cadre(), attendue.cadre());
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 10; ++x) EXPECT_EQ(obtenue.indice(x, y), attendue.indice(x, y)) << x << "," << y;

  // Stretches of one colour in any order (a dark row's pairs x, x - 1), starting and ending on
  // either half of a byte, broken by a gap, a row, a colour or the page's edge, over other dots.
  std::vector<point_page> etendues;
  for (float x = 3; x < 16; ++x) etendues.insert(etendues.end(), {{x, 2, noir}, {x - 1, 2, noir}});
  for (float x = 14; x >= 4; --x) etendues.push_back({x, 2, rouge});
  for (float x : {0.f, 1.f, 2.f, 4.f, 5.f, 5.f, 3.f, 4.5f, 6.f}) etendues.push_back({x, 3, bleu});
  for (float x : {7.f, 8.f, 9.5f, 10.f}) etendues.push_back({x, 3, bleu});
  for (float x : {17.f, 18.f, 19.f, 20.f, 21.f, 18.f}) etendues.push_back({x, 3, vert});
  for (float x : {1.f, 2.f}) etendues.insert(etendues.end(), {{x, 4, vert}, {x, 0, vert}, {x + 1, 4, bleu_254}});
  grille_points une_a_une(20, 5), par_etendues(20, 5);
  for (const point_page& p : points) une_a_une.pose_point(p.x, p.y, indice_point(drapeau_point_absolu, p.couleur));
  for (const point_page& p : etendues) une_a_une.pose_point(p.x, p.y, indice_point(drapeau_point_absolu, p.couleur));
  pose_points(drapeau_point_absolu, points, [&]() -> grille_points& { return par_etendues; });
  pose_points(drapeau_point_absolu, etendues, [&]() -> grille_points& { return par_etendues; });
  EXPECT_EQ(par_etendues.cadre(), une_a_une.cadre());
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 20; ++x) EXPECT_EQ(par_etendues.indice(x, y), une_a_une.indice(x, y)) << x << "," << y;

  // A colour outside the seven stops the run where it stands, the dots before it drawn.
  const std::vector<point_page> fautifs = {{0, 0, rouge}, {1, 0, 0x123456}, {2, 0, rouge}};
  grille_points arretee(10, 5);
  EXPECT_THROW(pose_points(drapeau_point_absolu, fautifs, [&]() -> grille_points& { return arretee; }), erreur);
  EXPECT_EQ(couleur_indice(arretee.indice(0, 0)), rouge);
  EXPECT_EQ(arretee.indice(2, 0), 0);
}
