#include <gtest/gtest.h>

#include <cmath>

#include "core/erreur.h"
#include "intake/nombre_copies.h"
#include "tests/support/erreur_levee.h"

using namespace agent;
using agent::essai::erreur_levee;

TEST(NombreCopies, ReadsTheThirdFieldExtensionIncluded) {
  const std::pair<const char*, int> cas[] = {
      {"A_B_3.bmp2", 3},    {"A_B_12", 12},   {"A_B_1 2.bmp2", 12},        {"A_B_2.5.bmp2", 2},
      {"A_B_3.5", 4},       {"A_B_-2.5", -2}, {"A_B_x.bmp2", 0},           {"A_B_&H10.bmp2", 16},
      {"a_12_1_x.bmp2", 1}, {"__7_", 7},      {"A_B_-32768.bmp2", -32768}, {"A_B_32767.4", 32767},
  };
  for (auto [nom, copies] : cas) EXPECT_EQ(nombre_copies(nom), copies) << nom;
}

TEST(NombreCopies, FailuresNameTheFile) {
  const std::pair<const char*, int> cas[] = {
      {"A_B.bmp2", 9},       {"AB", 9},
      {"A_B_32768.bmp2", 6}, {"A_B_-32769", 6},
      {"A_B_99999.bmp2", 6}, {"A_B_1E400", 6},
      {"A_B_-1D400", 6},     {"A_B_&H8000", 6},
      {"A_B_32767.5", 6},    {"A_B_&HFFFFFFFFFFFFFFFFFFFFFFFF", 6},
  };
  for (auto [nom, numero] : cas) {
    auto e = erreur_levee([&] { nombre_copies(nom); });
    ASSERT_TRUE(e) << nom;
    EXPECT_EQ(e->numero(), numero) << nom;
    EXPECT_NE(std::string(e->description()).find(nom), std::string::npos);
  }
}

TEST(ValeurNumerique, ReadsTheLongestNumberAtTheStart) {
  const std::pair<const char*, double> cas[] = {
      {"2.5.bmp2", 2.5},
      {"3E", 3},
      {"3E+", 3},
      {"3E2x", 300},
      {"25e-1", 2.5},
      {"4D2", 400},
      {"4d-1", 0.4},
      {"+.5", 0.5},
      {"-7.", -7},
      {"5.e1", 50},
      {"1-2", 1},
      {"0E400", 0},
      {"1E-400", 0},
      {"1E400", HUGE_VAL},
      {"-1E400", -HUGE_VAL},
      {"1E99999999999999999999", HUGE_VAL},
      {" - 1\t2 . 5\nE 1", -125},
      {"\t&\nH 1F", 31},
      {"&hff.bmp2", 255},
      {"&HaBg", 171},
      {"&H8000", 32768},
      {"&O17", 15},
      {"&o178", 15},
      {"&H", 0},
      {"&17", 0},
      {"", 0},
      {"x", 0},
      {".", 0},
      {"-.", 0},
      {"E5", 0},
      {".E5", 0},
      {" \t\n", 0},
  };
  for (auto [texte, valeur] : cas) EXPECT_EQ(valeur_numerique(texte), valeur) << texte;
}
