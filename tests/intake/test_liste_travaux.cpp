#include <gtest/gtest.h>

#include <filesystem>

#include "core/erreur.h"
#include "intake/liste_travaux.h"
#include "tests/intake/dossier_essai.h"
#include "tests/support/erreur_levee.h"

using namespace agent;
using agent::essai::dossier_essai;
using agent::essai::erreur_levee;
using noms = std::vector<std::string>;
namespace fs = std::filesystem;

// Links, names that are not UTF-8, names differing only in case and the cap on names:
// test_liste_travaux_linux.cpp.
TEST(ListeTravaux, KeepsRegularBmp2FilesInAnyCaseOnly) {
  dossier_essai d;
  for (const char* nom :
       {"image.BMP2", "a.Bmp2", "image.bmp", "image.bmp2.txt", "notes.txt", ".cache.bmp2", "x_1_1.bmp2"})
    d.cree(nom);
  fs::create_directory(d.chemin("dossier.bmp2"));

  EXPECT_EQ(liste_travaux(d.chemin()), (noms{"a.Bmp2", "image.BMP2", "x_1_1.bmp2"}));
}

TEST(ListeTravaux, OrdersByNameIgnoringCase) {
  dossier_essai d;
  for (const char* nom : {"B_77_2.bmp2", "a_12_1_x.bmp2", "étoile.bmp2", "Émile.bmp2", "école.bmp2", "Zoé.bmp2",
                          "A.bmp2", "a_.bmp2", "ab.bmp2"})
    d.cree(nom);
  // Byte order would put every capital first and É before é; ignoring case also puts "_" before
  // the letters. The names come back as the UTF-8 they were made from.
  EXPECT_EQ(liste_travaux(d.chemin()), (noms{"A.bmp2", "a_.bmp2", "a_12_1_x.bmp2", "ab.bmp2", "B_77_2.bmp2", "Zoé.bmp2",
                                             "école.bmp2", "Émile.bmp2", "étoile.bmp2"}));
}

TEST(ListeTravaux, FolderThatCannotBeListedIsAnErrorNamingIt) {
  dossier_essai d;
  d.cree("fichier.bmp2");
  for (const fs::path& chemin : {d.chemin("absent"), d.chemin("absent") / "sous", d.chemin("fichier.bmp2")}) {
    auto e = erreur_levee([&] { liste_travaux(chemin.string()); });
    ASSERT_TRUE(e) << chemin;
    EXPECT_EQ(e->numero(), 76);
    EXPECT_NE(std::string(e->description()).find(chemin.string()), std::string::npos);
  }
}
