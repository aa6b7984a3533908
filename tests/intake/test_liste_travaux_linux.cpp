// What only a Linux file system has: symbolic links anyone may make, names of any bytes, and
// names differing only in letter case. And the cap on names, which is the same everywhere but
// takes minutes to reach under Wine, which looks every new name up across the whole folder
// ignoring case.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "intake/liste_travaux.h"
#include "tests/intake/dossier_essai.h"

using namespace agent;
using agent::essai::dossier_essai;
using noms = std::vector<std::string>;
namespace fs = std::filesystem;

TEST(ListeTravaux, FollowsLinksToFilesAndKeepsNamesThatAreNotUtf8) {
  dossier_essai d;
  for (const char* nom : {"x_1_1.bmp2", "\xff_1_1.bmp2"}) d.cree(nom);
  fs::create_directory(d.chemin("dossier.bmp2"));
  fs::create_symlink(d.chemin("x_1_1.bmp2"), d.chemin("lien.bmp2"));
  fs::create_symlink(d.chemin("absent"), d.chemin("casse.bmp2"));
  fs::create_directory_symlink(d.chemin("dossier.bmp2"), d.chemin("lien_dossier.bmp2"));

  EXPECT_EQ(liste_travaux(d.chemin()), (noms{"lien.bmp2", "x_1_1.bmp2", "\xff_1_1.bmp2"}));
}

TEST(ListeTravaux, OrdersNamesDifferingOnlyInCaseByExactBytes) {
  dossier_essai d;
  for (const char* nom : {"zoé.bmp2", "ZOÉ.bmp2", "Zoé.bmp2", "a.bmp2", "A.bmp2", "a_.bmp2"}) d.cree(nom);
  EXPECT_EQ(liste_travaux(d.chemin()), (noms{"A.bmp2", "a.bmp2", "a_.bmp2", "ZOÉ.bmp2", "Zoé.bmp2", "zoé.bmp2"}));
}

TEST(ListeTravaux, TakesAtMostTheFirst32767Names) {
  dossier_essai d;
  char nom[32];
  for (int i = 32768; i >= 0; --i) {
    std::snprintf(nom, sizeof nom, "j_%05d_1.bmp2", i);
    d.cree(nom, "");
  }
  noms liste = liste_travaux(d.chemin());
  ASSERT_EQ(liste.size(), 32767u);
  EXPECT_EQ(liste.back(), "j_32766_1.bmp2");
}
