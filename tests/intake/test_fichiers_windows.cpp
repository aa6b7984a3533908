// What Windows's file systems do that Linux's local ones do not: a file another program holds
// open refuses its deletion with a sharing violation, as a share does on either system.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "core/erreurs_fichiers.h"
#include "intake/liste_travaux.h"
#include "intake/releve.h"
#include "intake/releve_stabilite.h"
#include "intake/supprime_travail.h"
#include "tests/intake/dossier_essai.h"

using namespace agent;
using agent::essai::dossier_essai;

TEST(FichiersWindows, FileHeldOpenElsewhereIsLeftForALaterDeletion) {
  dossier_essai d;
  d.cree("a_1_1.bmp2");
  const std::string chemin = chemin_travail(d.chemin(), "a_1_1.bmp2");
  {
    std::ofstream ecrivain(d.chemin("a_1_1.bmp2"), std::ios::app);
    EXPECT_TRUE(ouvert_en_ecriture(chemin));
    EXPECT_FALSE(supprime_travail(chemin));
    EXPECT_TRUE(d.existe("a_1_1.bmp2"));
  }
  EXPECT_FALSE(ouvert_en_ecriture(chemin));
  EXPECT_TRUE(supprime_travail(chemin));
}

TEST(FichiersWindows, WindowsErrorsReadAsTheirOwnNamesAndNumbers) {
  const auto windows = [](int code) { return std::error_code(code, std::system_category()); };
  struct cas {
    int code;
    int fichier, dossier;
    const char* raison;
  };
  for (const cas& c :
       {cas{5, 70, 70, "accès refusé (ERROR_ACCESS_DENIED)"}, cas{2, 53, 76, "fichier absent (ERROR_FILE_NOT_FOUND)"},
        cas{32, 75, 75, "fichier utilisé par un autre programme ou un autre poste"},
        cas{53, 75, 76, "chemin réseau introuvable (ERROR_BAD_NETPATH)"}}) {
    EXPECT_EQ(erreur_fichier(windows(c.code), "f").numero(), c.fichier) << c.code;
    EXPECT_EQ(erreur_dossier(windows(c.code), "d").numero(), c.dossier) << c.code;
    EXPECT_NE(std::string(erreur_fichier(windows(c.code), "f").description()).find(c.raison), std::string::npos)
        << erreur_fichier(windows(c.code), "f").description();
  }
  EXPECT_TRUE(est_en_usage(windows(32)));
  EXPECT_TRUE(est_en_usage(windows(33)));
  EXPECT_FALSE(est_en_usage(windows(5)));
}

TEST(FichiersWindows, HiddenAndSystemFilesAreNotListed) {
  dossier_essai d;
  for (const char* nom : {"cache_1_1.bmp2", "systeme_1_1.bmp2", "vu_1_1.bmp2", "Lu_1_1.BMP2"}) d.cree(nom);
  ASSERT_TRUE(::SetFileAttributesW(d.chemin("cache_1_1.bmp2").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(::SetFileAttributesW(d.chemin("systeme_1_1.bmp2").c_str(), FILE_ATTRIBUTE_SYSTEM));
  EXPECT_EQ(liste_travaux(d.chemin()), (std::vector<std::string>{"Lu_1_1.BMP2", "vu_1_1.bmp2"}));
  // The folder written with its closing separator, as the watched one is, lists the same.
  EXPECT_EQ(liste_travaux(d.chemin() + "\\"), liste_travaux(d.chemin()));
}
