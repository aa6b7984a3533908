#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "core/arithmetique.h"
#include "core/erreur.h"
#include "core/journal.h"

using namespace agent;

TEST(Arrondi, TiesGoToTheEvenNeighbour) {
  EXPECT_EQ(arrondi_pair(2.5), 2);
  EXPECT_EQ(arrondi_pair(3.5), 4);
  EXPECT_EQ(arrondi_pair(-2.5), -2);
  EXPECT_EQ(arrondi_pair(-3.5), -4);
  EXPECT_EQ(arrondi_pair(942.5), 942);
  EXPECT_EQ(arrondi_pair(943.5), 944);
  EXPECT_EQ(arrondi_pair(2.5000001), 3);
  EXPECT_EQ(arrondi_pair(-0.4), 0);
}

TEST(Arrondi, WholeValuesComeBackUnchangedHoweverLarge) {
  for (double v : {0.0, 60.0, -59.0, 2147483648.0, -9007199254740992.0, 0x1p52 - 1, 0x1p52, 0x1p63, 0x1p64, 1e300})
    EXPECT_EQ(arrondi_pair(v), v) << v;
  EXPECT_TRUE(std::signbit(arrondi_pair(-0.0)));
  EXPECT_EQ(arrondi_pair(0x1p52 - 0.5), 0x1p52);  // the largest ties still go to the even neighbour
  EXPECT_EQ(arrondi_pair(0x1p51 + 0.5), 0x1p51);
  EXPECT_TRUE(std::isnan(arrondi_pair(std::nan(""))));
  EXPECT_EQ(arrondi_pair(HUGE_VAL), HUGE_VAL);
}

TEST(Arrondi, ResultOutsideTheTypeIsAnOverflow) {
  EXPECT_EQ(arrondi_entier16(32767.4), 32767);
  EXPECT_EQ(arrondi_entier16(-32768.5), -32768);
  EXPECT_EQ(arrondi_entier16(32766.5), 32766);
  for (double v : {32767.5, -32769.0, HUGE_VAL, -HUGE_VAL, std::nan("")}) {
    try {
      arrondi_entier16(v);
      FAIL() << v;
    } catch (const erreur& e) {
      EXPECT_EQ(e.numero(), 6);
      EXPECT_STREQ(e.description(), "Dépassement de capacité");
    }
  }
  EXPECT_EQ(arrondi_entier32(2147483647.0), INT32_MAX);
  EXPECT_THROW(arrondi_entier32(2147483647.5), erreur);
}

TEST(SommeVerifiee, OverflowIsAnErrorNotAWrap) {
  EXPECT_EQ(somme_verifiee(INT32_MAX - 60, 60), INT32_MAX);
  EXPECT_THROW(somme_verifiee(INT32_MAX - 59, 60), erreur);
  EXPECT_THROW(somme_verifiee(INT32_MIN, -1), erreur);
}

TEST(Erreur, DescriptionCarriesTheDetail) {
  erreur e(code_erreur::image_incorrecte, "/tmp/a_b_1.bmp2 : données tronquées");
  EXPECT_EQ(e.numero(), 481);
  EXPECT_STREQ(e.description(), "Image incorrecte : /tmp/a_b_1.bmp2 : données tronquées");
}

TEST(Journal, FieldStaysOneFieldOfOneLineAndNamesItsBytes) {
  EXPECT_EQ(champ("été_b_3.bmp2"), "\"été_b_3.bmp2\"");
  EXPECT_EQ(champ("a \"b\"=\\c"), "\"a \\\"b\\\"=\\\\c\"");
  EXPECT_EQ(champ("saut\nde ligne_c_1\x7f.bmp2"), "\"saut\\x0ade ligne_c_1\\x7f.bmp2\"");
  EXPECT_EQ(champ("\xe9t\xe9_b_3.bmp2"), "\"\\xe9t\\xe9_b_3.bmp2\"");  // Latin-1, not UTF-8
}
