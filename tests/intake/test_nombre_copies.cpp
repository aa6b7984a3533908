#include <gtest/gtest.h>

#include <cmath>

#include "core/erreur.h"
#include "intake/nombre_copies.h"
#include "tests/intake/erreur_levee.h"

using namespace agent;
using agent::essai::erreur_levee;

TEST(NombreCopies, ThirdFieldWithItsExtensionGivesTheCount) {
  EXPECT_EQ(nombre_copies("A_B_3.bmp2"), 3);
  EXPECT_EQ(nombre_copies("A_B_12"), 12);
  EXPECT_EQ(nombre_copies("A_B_1 2.bmp2"), 12);
  EXPECT_EQ(nombre_copies("A_B_2.5.bmp2"), 2);
  EXPECT_EQ(nombre_copies("A_B_3.5"), 4);
  EXPECT_EQ(nombre_copies("A_B_x.bmp2"), 0);
  EXPECT_EQ(nombre_copies("A_B_&H10.bmp2"), 16);
  EXPECT_EQ(nombre_copies("a_12_1_x.bmp2"), 1);
  EXPECT_EQ(nombre_copies("__7_"), 7);
  EXPECT_EQ(nombre_copies("A_B_-32768.bmp2"), -32768);
  EXPECT_EQ(nombre_copies("A_B_32767.bmp2"), 32767);
  EXPECT_EQ(nombre_copies("A_B_-2.5.bmp2"), -2);
}

TEST(NombreCopies, FewerThanThreeFieldsIsAnIndexError) {
  for (const char* nom : {"A_B.bmp2", "AB.bmp2", ""}) {
    auto e = erreur_levee([&] { nombre_copies(nom); });
    ASSERT_TRUE(e) << nom;
    EXPECT_EQ(e->numero(), 9);
    EXPECT_NE(std::string(e->description()).find(nom), std::string::npos);
  }
}

TEST(NombreCopies, CountOutsideSixteenBitsIsAnOverflowNamingTheFile) {
  for (const char* nom : {"A_B_32768.bmp2", "A_B_-32769", "A_B_99999.bmp2", "A_B_1E400.bmp2",
                          "A_B_-1D400", "A_B_&H8000.bmp2", "A_B_32767.5", "A_B_&HFFFFFFFFFFFFFFFFFFFFFFFF"}) {
    auto e = erreur_levee([&] { nombre_copies(nom); });
    ASSERT_TRUE(e) << nom;
    EXPECT_EQ(e->numero(), 6) << nom;
    EXPECT_NE(std::string(e->description()).find(nom), std::string::npos);
  }
}

TEST(ValeurNumerique, DecimalFormsStopAtTheFirstForeignCharacter) {
  EXPECT_EQ(valeur_numerique("2.5.bmp2"), 2.5);
  EXPECT_EQ(valeur_numerique("3E"), 3);
  EXPECT_EQ(valeur_numerique("3E+"), 3);
  EXPECT_EQ(valeur_numerique("3E2x"), 300);
  EXPECT_EQ(valeur_numerique("25e-1"), 2.5);
  EXPECT_EQ(valeur_numerique("4D2"), 400);
  EXPECT_EQ(valeur_numerique("4d-1"), 0.4);
  EXPECT_EQ(valeur_numerique("+.5"), 0.5);
  EXPECT_EQ(valeur_numerique("-7."), -7);
  EXPECT_EQ(valeur_numerique("5.e1"), 50);
  EXPECT_EQ(valeur_numerique("007"), 7);
  EXPECT_EQ(valeur_numerique("1-2"), 1);
  EXPECT_EQ(valeur_numerique("0E400"), 0);
  EXPECT_EQ(valeur_numerique("1E-400"), 0);
  EXPECT_EQ(valeur_numerique("1E400"), HUGE_VAL);
  EXPECT_EQ(valeur_numerique("-1E400"), -HUGE_VAL);
  EXPECT_EQ(valeur_numerique("1E99999999999999999999"), HUGE_VAL);
}

TEST(ValeurNumerique, BlanksTabsAndLineFeedsAreDroppedEverywhere) {
  EXPECT_EQ(valeur_numerique(" - 1\t2 . 5\nE 1"), -125);
  EXPECT_EQ(valeur_numerique("\t&\nH 1F"), 31);
}

TEST(ValeurNumerique, HexAndOctalAreNonNegativeIntegers) {
  EXPECT_EQ(valeur_numerique("&H10"), 16);
  EXPECT_EQ(valeur_numerique("&hff.bmp2"), 255);
  EXPECT_EQ(valeur_numerique("&HaBg"), 171);
  EXPECT_EQ(valeur_numerique("&H8000"), 32768);
  EXPECT_EQ(valeur_numerique("&HFFFF"), 65535);
  EXPECT_EQ(valeur_numerique("&O17"), 15);
  EXPECT_EQ(valeur_numerique("&o178"), 15);
  EXPECT_EQ(valeur_numerique("&H"), 0);
  EXPECT_EQ(valeur_numerique("&17"), 0);
}

TEST(ValeurNumerique, NothingReadableIsZero) {
  for (const char* texte : {"", "x", ".", "-", "+", "-.", "E5", ".E5", "bmp2", " \t\n"})
    EXPECT_EQ(valeur_numerique(texte), 0) << texte;
}
