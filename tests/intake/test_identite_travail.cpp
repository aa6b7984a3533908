#include <gtest/gtest.h>

#include "intake/identite_travail.h"

using namespace agent;

namespace {

const std::string dossier = "/mnt/partage/masques_en_attente/";
const etat_fichier etat{1234, std::filesystem::file_time_type(std::chrono::seconds(1700000000))};
const std::string uuid = uuid_travail(dossier, "a_b_1.bmp2", etat, 0x0123456789abcdefULL);

}  // namespace

TEST(IdentiteTravail, EachPartOfTheFileTellsAHeldJobApart) {
  EXPECT_TRUE(uuid.starts_with(prefixe_uuid(dossier)));
  EXPECT_EQ(uuid.size(), 9u + 36u);
  EXPECT_EQ(uuid, uuid_travail(dossier, "a_b_1.bmp2", etat, 0x0123456789abcdefULL));

  struct cas {
    const char* quoi;
    std::string autre;
    bool meme_dossier, meme_fichier, meme_etat;
  };
  const etat_fichier plus_grand{etat.taille + 1, etat.modification};
  const etat_fichier plus_tard{etat.taille, etat.modification + std::chrono::nanoseconds(1)};
  for (const cas& c : {
           cas{"another folder", uuid_travail("/mnt/autre/", "a_b_1.bmp2", etat, 0x0123456789abcdefULL), false, false,
               false},
           cas{"another name", uuid_travail(dossier, "a_b_2.bmp2", etat, 0x0123456789abcdefULL), true, false, false},
           cas{"another size", uuid_travail(dossier, "a_b_1.bmp2", plus_grand, 0x0123456789abcdefULL), true, true,
               false},
           cas{"another time", uuid_travail(dossier, "a_b_1.bmp2", plus_tard, 0x0123456789abcdefULL), true, true,
               false},
           cas{"another picture", uuid_travail(dossier, "a_b_1.bmp2", etat, 0x1123456789abcdefULL), true, true, true},
       }) {
    EXPECT_NE(c.autre, uuid) << c.quoi;
    EXPECT_EQ(c.autre.starts_with(prefixe_uuid(dossier)), c.meme_dossier) << c.quoi;
    EXPECT_EQ(uuid_du_fichier(c.autre, dossier, "a_b_1.bmp2"), c.meme_fichier) << c.quoi;
    EXPECT_EQ(uuid_de_l_etat(c.autre, dossier, "a_b_1.bmp2", etat), c.meme_etat) << c.quoi;
  }
}
