#include <gtest/gtest.h>

#include <climits>
#include <map>

#include "core/erreur.h"
#include "printing/couleurs.h"
#include "printing/texte_progression.h"
#include "printing/trame_points.h"
#include "tests/support/imprimante_enregistreuse.h"
#include "tests/support/surface_essai.h"

using namespace agent;
using agent::essai::surface_essai;
using point = imprimante_enregistreuse::point;

namespace {

struct suivi_journal : suivi_trame {
  std::vector<std::string> titres;
  std::function<void()> entre_lignes;
  int evenements = 0;
  void laisse_evenements() override {
    ++evenements;
    if (entre_lignes) entre_lignes();
  }
  void fixe_titre(const std::string& t) override { titres.push_back(t); }
};

std::map<std::pair<int32_t, int32_t>, int32_t> page_de(const surface_lecture& s) {
  imprimante_enregistreuse imprimante;
  suivi_journal suivi;
  trame_points(s, imprimante, suivi);
  imprimante.termine_document();
  return imprimante.documents().at(0).page;
}

}  // namespace

TEST(TramePoints, BlackThenRedGivesCompanionDotAndMargins) {
  surface_essai s(2, 1);
  s.pose(0, 0, noir);
  s.pose(1, 0, rouge);
  imprimante_enregistreuse imprimante;
  suivi_journal suivi;
  trame_points(s, imprimante, suivi);
  EXPECT_EQ(imprimante.points(), (std::vector<point>{{2, 60, 20, 0}, {2, 59, 20, 0}, {2, 61, 20, 255}}));
}

TEST(TramePoints, OverlappingDotsLastOneWins) {
  surface_essai s(10, 2);
  s.pose(5, 0, noir);
  s.pose(6, 0, noir);
  s.pose(5, 1, rouge);
  s.pose(6, 1, noir);  // its companion lands on the red dot to its left
  auto page = page_de(s);
  std::map<std::pair<int32_t, int32_t>, int32_t> attendu = {
      {{64, 20}, 0}, {{65, 20}, 0}, {{66, 20}, 0}, {{65, 21}, 0}, {{66, 21}, 0}};
  EXPECT_EQ(page, attendu);
}

TEST(TramePoints, OnlyTheSevenExactColoursPrint) {
  const std::vector<uint32_t> manques = {0xFFFFFF, 0x00FE00, 0x010000, 0x0000FD, 0xFD0000, 0xFF0001,
                                         0x000001, 0x010101, 0x00FF02, 0x808080, 0xFEFF00};
  surface_essai s(static_cast<int32_t>(couleurs_imprimables.size() + manques.size()), 1);
  int32_t x = 0;
  for (uint32_t c : manques) s.pose(x++, 0, c);
  for (uint32_t c : couleurs_imprimables) s.pose(x++, 0, c);

  auto page = page_de(s);
  std::map<std::pair<int32_t, int32_t>, int32_t> attendu;
  x = static_cast<int32_t>(manques.size());
  attendu[{x + 59, 20}] = noir;  // black is first of the printable run
  for (uint32_t c : couleurs_imprimables) attendu[{60 + x++, 20}] = static_cast<int32_t>(c);
  EXPECT_EQ(page, attendu);
}

TEST(TramePoints, BlankSurfaceStillCountsEveryRowThroughTheLimit) {
  surface_essai s(4, 3);
  imprimante_enregistreuse imprimante;
  suivi_journal suivi;
  trame_points(s, imprimante, suivi);
  EXPECT_TRUE(imprimante.points().empty());
  EXPECT_EQ(suivi.titres, (std::vector<std::string>{"0/3", "1/3", "2/3", "3/3"}));
  EXPECT_EQ(suivi.evenements, 4);
  EXPECT_EQ(s.lectures, 4 * 5);  // rows 0..3, columns 0..4: one read per pixel, one beyond each edge
}

TEST(TramePoints, HalfwayScaleHeightRoundsToEven) {
  for (auto [echelle, lignes, dernier] : {std::tuple{942.5f, 943, "942/942.5"}, {943.5f, 945, "944/943.5"}}) {
    surface_essai s(1, 1);
    s.fixe_echelle(1, echelle);
    imprimante_enregistreuse imprimante;
    suivi_journal suivi;
    trame_points(s, imprimante, suivi);
    EXPECT_EQ(suivi.titres.size(), static_cast<size_t>(lignes)) << echelle;
    EXPECT_EQ(suivi.titres.back(), dernier);
  }
}

TEST(TramePoints, WidthIsReadAfreshOnEveryRowHeightOnce) {
  surface_essai s(3, 3, noir);
  s.fixe_echelle(1, 2);
  imprimante_enregistreuse imprimante;
  suivi_journal suivi;
  suivi.entre_lignes = [&] { s.fixe_echelle(3, 10); };  // after row 0: wider, and taller (ignored)
  trame_points(s, imprimante, suivi);
  int rangee0 = 0, autres = 0;
  for (const auto& p : imprimante.points()) (p.y == 20 ? rangee0 : autres) += 1;
  EXPECT_EQ(rangee0, 2 * 2);     // columns 0..1 of row 0
  EXPECT_EQ(autres, 2 * 3 * 2);  // rows 1..2 at the new width, still only up to the first height
  EXPECT_EQ(suivi.titres.back(), "2/10");
}

TEST(TramePoints, ScaleBeyondThirtyTwoBitsIsAnOverflow) {
  surface_essai s(1, 1);
  s.fixe_echelle(3e9f, 1);
  imprimante_enregistreuse imprimante;
  suivi_journal suivi;
  try {
    trame_points(s, imprimante, suivi);
    FAIL();
  } catch (const erreur& e) {
    EXPECT_EQ(e.code(), code_erreur::depassement_capacite);
  }
}

TEST(TexteProgression, GeneralNumberOfSevenDigits) {
  EXPECT_EQ(texte_progression(12, 943), "12/943");
  EXPECT_EQ(texte_progression(0, 942.5f), "0/942.5");
  EXPECT_EQ(texte_progression(3, 1234567), "3/1234567");
  EXPECT_EQ(texte_progression(3, 12345678), "3/1.234568E+07");
}
