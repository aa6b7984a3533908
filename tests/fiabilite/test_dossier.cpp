// The watched folder failing under the running agent: missing, removed in the middle of a poll,
// or refusing the deletion of a printed job.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/fiabilite/banc_agent.h"
#include "tests/fiabilite/observateur_dossier.h"
#include "tests/support/bmp_essai_qt.h"

using namespace agent::essai;
namespace fs = std::filesystem;

TEST(PanneDossier, MissingFolderIsAnErrorNamingIt) {
  banc_agent banc;
  fs::remove(banc.dossier());
  banc.lance();
  ASSERT_TRUE(banc.attend_fin()) << "l'agent ne s'est pas arrêté";
  EXPECT_EQ(banc.agent().code_sortie(), 1);
  EXPECT_NE(banc.agent().erreurs().find(message_fatal(76, "Chemin d'accès introuvable : masques_en_attente/")),
            std::string::npos)
      << banc.agent().erreurs();
  EXPECT_TRUE(banc.serveur.travaux().empty());
}

TEST(PanneDossier, FolderRemovedWhileAJobPrintsEndsTheAgentAfterThatOnePrintOnly) {
  banc_agent banc;
  // Large enough that printing it lasts well beyond the moment the folder goes.
  QImage grande(2400, 1600, QImage::Format_RGB32);
  grande.fill(Qt::white);
  for (int y = 0; y < grande.height(); y += 2)
    for (int x = 0; x < grande.width(); x += 2) grande.setPixel(x, y, qRgb(0, 0, 255));
  banc.depose("a_b_1.bmp2", ecrit_bmp(grande, 24));
  banc.depose("b_b_1.bmp2", bmp_essai());
  observateur_dossier observateur(banc.dossier(), IN_ACCESS | IN_CLOSE_NOWRITE);
  banc.lance();

  // The agent has read the first job and closed it: its poll is under way. (It opens the file
  // once before, without reading, to learn whether another program is writing it.)
  ASSERT_TRUE(observateur.attend(
      [](const auto& evenements) {
        bool lu = false;
        for (const auto& e : evenements) {
          if (e.nom != "a_b_1.bmp2") continue;
          lu = lu || (e.masque & IN_ACCESS);
          if (lu && (e.masque & IN_CLOSE_NOWRITE)) return true;
        }
        return false;
      },
      attente_agent));
  fs::remove_all(banc.dossier());

  ASSERT_TRUE(banc.attend_fin()) << "l'agent ne s'est pas arrêté";
  EXPECT_EQ(banc.agent().code_sortie(), 1);
  // The folder is found gone by the look at its lock before the deletion, or by the deletion.
  const std::string erreurs = banc.agent().erreurs();
  EXPECT_TRUE(
      erreurs.find(message_fatal(76, "Chemin d'accès introuvable : masques_en_attente/ : ")) != std::string::npos ||
      erreurs.find(message_fatal(53, "Fichier introuvable : masques_en_attente/a_b_1.bmp2")) != std::string::npos)
      << erreurs;
  const auto travaux = banc.serveur.travaux();
  ASSERT_EQ(travaux.size(), 1u);
  EXPECT_EQ(travaux[0].copies, 1);
  // Held until a start that finds its file gone releases it.
  EXPECT_EQ(travaux[0].etat, etat_travail::retenu);
  EXPECT_FALSE(fs::exists(banc.dossier()));
}

// Permission bits do not bind root, and the tests may well run as root: the agent then runs as
// the unprivileged user "nobody", for whom the folder (owned by root) is read-only.
// Its job stays held through the error, and the next start, the folder writable again, takes it
// up instead of sending the file again.
TEST(PanneDossier, UndeletableJobIsHeldThroughTheErrorThenPrintsOnceAfterARestart) {
  banc_agent banc;
  banc.depose("a_b_2.bmp2", bmp_essai());
  banc.depose("b_b_1.bmp2", bmp_essai());
  const fs::perms lecture = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                            fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
  fs::permissions(banc.dossier(), geteuid() == 0 ? lecture | fs::perms::owner_write : lecture);
  banc.lance(true);

  ASSERT_TRUE(banc.attend_fin()) << "l'agent ne s'est pas arrêté";
  EXPECT_EQ(banc.agent().code_sortie(), 1);
  EXPECT_NE(banc.agent().erreurs().find(message_fatal(70, "Permission refusée : masques_en_attente/a_b_2.bmp2")),
            std::string::npos)
      << banc.agent().erreurs();
  const auto travaux = banc.serveur.travaux();
  ASSERT_EQ(travaux.size(), 1u);
  EXPECT_EQ(travaux[0].copies, 2);
  EXPECT_EQ(points_page(banc.serveur.document(travaux[0].id)), points_image_essai());
  EXPECT_EQ(travaux[0].etat, etat_travail::retenu);
  EXPECT_EQ(banc.restants(), (std::vector<std::string>{"a_b_2.bmp2", "b_b_1.bmp2"}));

  fs::permissions(banc.dossier(), fs::perms::all);
  banc.lance(true);
  ASSERT_TRUE(banc.attend_restants({})) << banc.agent().erreurs();
  const auto apres = banc.serveur.travaux();
  ASSERT_EQ(apres.size(), 2u) << banc.agent().erreurs();
  EXPECT_EQ(apres[0].id, travaux[0].id);
  EXPECT_EQ(apres[1].nom, "b_b_1.bmp2");
  for (const travail& t : apres) EXPECT_EQ(banc.serveur.attend_travail_fini(t.id).etat, etat_travail::termine);
}
