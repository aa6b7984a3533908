#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/erreur.h"
#include "intake/releve.h"
#include "tests/intake/dossier_essai.h"
#include "tests/support/erreur_levee.h"

using namespace agent;
using agent::essai::dossier_essai;
using agent::essai::erreur_levee;
using noms = std::vector<std::string>;
namespace fs = std::filesystem;

// Polls a temporary folder with callbacks that keep a journal; each print, timer change and
// settle wait is followed by the files still in the folder at that moment.
class Releve : public ::testing::Test {
protected:
  void SetUp() override {
    actions.affiche_liste = [this](const noms& liste) { journal.push_back("liste " + joint(liste)); };
    actions.active_minuterie = [this](bool oui) {
      journal.push_back((oui ? "minuterie 1 | " : "minuterie 0 | ") + presents());
    };
    // Each file holds its own name: reading it back proves the path names the listed file.
    actions.charge_apercu = [this](const std::string& chemin) {
      std::ifstream f(chemin, std::ios::binary);
      journal.push_back("apercu " + std::string(std::istreambuf_iterator<char>(f), {}));
      pendant_apercu();
    };
    actions.lance_impression = [this](const int16_t& qte) {
      journal.push_back("imprime " + std::to_string(qte) + " | " + presents());
      pendant_impression();
    };
    actions.patiente = [this](std::chrono::milliseconds) {
      journal.push_back("attente | " + presents());
      pendant_attente();
      return true;
    };
  }

  void cree(const noms& liste) {
    for (const std::string& nom : liste) d.cree(nom, nom);
  }
  static std::string joint(const noms& liste) {
    std::string texte;
    for (const std::string& nom : liste) texte += (texte.empty() ? "" : ",") + nom;
    return texte;
  }
  std::string presents() const {
    noms liste;
    for (const auto& entree : fs::directory_iterator(d.chemin())) liste.push_back(entree.path().filename().string());
    std::sort(liste.begin(), liste.end());
    return joint(liste);
  }
  std::optional<erreur> releve(const std::string& suffixe = "") {
    return erreur_levee([&] { laisses = releve_dossier(d.chemin() + suffixe, actions); });
  }
  // The poll of a_1_1.bmp2 and b_1_1.bmp2 fails with `numero` naming a_1_1.bmp2, after what the
  // journal's last line says, and leaves b_1_1.bmp2 alone with the timer disabled.
  void echoue_sur_a(int numero, const std::string& derniere_ligne) {
    cree({"a_1_1.bmp2", "b_1_1.bmp2"});
    auto e = releve();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->numero(), numero);
    EXPECT_NE(std::string(e->description()).find("a_1_1.bmp2"), std::string::npos);
    EXPECT_EQ(journal.back(), derniere_ligne);
    EXPECT_TRUE(d.existe("b_1_1.bmp2"));
  }

  dossier_essai d;
  actions_releve actions;
  std::function<void()> pendant_impression = [] {};
  std::function<void()> pendant_attente = [] {};
  std::function<void()> pendant_apercu = [] {};
  noms journal;
  std::optional<std::vector<fichier_laisse>> laisses;
};

TEST(CheminTravail, OneSeparatorBetweenFolderAndName) {
  const char separateur = static_cast<char>(fs::path::preferred_separator);  // '\\' on Windows
  EXPECT_EQ(chemin_travail("/mnt/partage/attente", "a_b_1.bmp2"),
            std::string("/mnt/partage/attente") + separateur + "a_b_1.bmp2");
  EXPECT_EQ(chemin_travail("/mnt/partage/attente/", "a_b_1.bmp2"), "/mnt/partage/attente/a_b_1.bmp2");
}

TEST_F(Releve, PrintsEachJobInOrderAndDeletesItAfterItsPrint) {
  cree({"B_77_2.bmp2", "a_12_1_x.bmp2", "notes.txt"});
  EXPECT_FALSE(releve("/"));
  EXPECT_EQ(journal, (noms{"liste a_12_1_x.bmp2,B_77_2.bmp2", "minuterie 0 | B_77_2.bmp2,a_12_1_x.bmp2,notes.txt",
                           "attente | B_77_2.bmp2,a_12_1_x.bmp2,notes.txt", "apercu a_12_1_x.bmp2",
                           "imprime 1 | B_77_2.bmp2,a_12_1_x.bmp2,notes.txt", "apercu B_77_2.bmp2",
                           "imprime 2 | B_77_2.bmp2,notes.txt", "minuterie 1 | notes.txt"}));
}

TEST_F(Releve, EmptyFolderPrintsNothingAndEnablesTheTimerAgain) {
  EXPECT_FALSE(releve());
  EXPECT_EQ(journal, (noms{"liste ", "minuterie 0 | ", "minuterie 1 | "}));  // and no wait
}

TEST_F(Releve, FileArrivingDuringThePollWaitsForTheNextOne) {
  cree({"a_1_1.bmp2", "b_1_2.bmp2"});
  pendant_impression = [this] { cree({"c_1_3.bmp2"}); };
  EXPECT_FALSE(releve());
  EXPECT_EQ(journal.back(), "minuterie 1 | c_1_3.bmp2");

  journal.clear();
  pendant_impression = [] {};
  EXPECT_FALSE(releve());
  EXPECT_EQ(journal, (noms{"liste c_1_3.bmp2", "minuterie 0 | c_1_3.bmp2", "attente | c_1_3.bmp2", "apercu c_1_3.bmp2",
                           "imprime 3 | c_1_3.bmp2", "minuterie 1 | "}));
}

TEST_F(Releve, FileStillArrivingIsLeftForALaterPollWithoutError) {
  cree({"a_1_1.bmp2", "b_1_2.bmp2", "c_1_3.bmp2", "d_1_4.bmp2", "e_1_5.bmp2"});
  std::ofstream ecrivain(d.chemin("d_1_4.bmp2"), std::ios::app);  // held open, unchanged
  pendant_attente = [this] {
    std::ofstream(d.chemin("a_1_1.bmp2"), std::ios::app) << "+";  // appended to
    // Written in place at its full size: only its time tells.
    fs::last_write_time(d.chemin("c_1_3.bmp2"), fs::last_write_time(d.chemin("c_1_3.bmp2")) + std::chrono::seconds(1));
  };
  pendant_apercu = [this] {
    if (journal.back() == "apercu e_1_5.bmp2") std::ofstream(d.chemin("e_1_5.bmp2"), std::ios::app) << "+";
  };
  EXPECT_FALSE(releve());
  const std::string restent = "a_1_1.bmp2,c_1_3.bmp2,d_1_4.bmp2,e_1_5.bmp2";
  EXPECT_EQ(journal, (noms{"liste a_1_1.bmp2,b_1_2.bmp2,c_1_3.bmp2,d_1_4.bmp2,e_1_5.bmp2",
                           "minuterie 0 | a_1_1.bmp2,b_1_2.bmp2,c_1_3.bmp2,d_1_4.bmp2,e_1_5.bmp2",
                           "attente | a_1_1.bmp2,b_1_2.bmp2,c_1_3.bmp2,d_1_4.bmp2,e_1_5.bmp2", "apercu b_1_2.bmp2",
                           "imprime 2 | a_1_1.bmp2,b_1_2.bmp2,c_1_3.bmp2,d_1_4.bmp2,e_1_5.bmp2", "apercu e_1_5.bmp2",
                           "minuterie 1 | " + restent}));
  EXPECT_EQ(laisses, (std::vector<fichier_laisse>{{"a_1_1.bmp2", raison_attente::modifie},
                                                  {"c_1_3.bmp2", raison_attente::modifie},
                                                  {"d_1_4.bmp2", raison_attente::ouvert_en_ecriture},
                                                  {"e_1_5.bmp2", raison_attente::modifie}}));

  // Settled and closed, they print at the next poll.
  ecrivain.close();
  pendant_attente = pendant_apercu = [] {};
  journal.clear();
  EXPECT_FALSE(releve());
  EXPECT_EQ(journal.back(), "minuterie 1 | ");
}

TEST_F(Releve, FolderAnotherAgentHoldsIsLeftUntouched) {
  cree({"a_1_1.bmp2"});
  actions.tient_dossier = [] { return false; };
  EXPECT_FALSE(releve());
  EXPECT_FALSE(laisses);
  EXPECT_TRUE(journal.empty());
  EXPECT_TRUE(d.existe("a_1_1.bmp2"));
}

TEST_F(Releve, UnreadableCountFailsAfterLoadingBeforePrinting) {
  cree({"A_B.bmp2", "b_1_99999.bmp2"});
  auto e = releve();
  ASSERT_TRUE(e);
  EXPECT_EQ(e->numero(), 9);
  EXPECT_EQ(journal.back(), "apercu A_B.bmp2");

  fs::remove(d.chemin("A_B.bmp2"));
  journal.clear();
  e = releve();
  ASSERT_TRUE(e);
  EXPECT_EQ(e->numero(), 6);
  EXPECT_EQ(journal, (noms{"liste b_1_99999.bmp2", "minuterie 0 | b_1_99999.bmp2", "attente | b_1_99999.bmp2",
                           "apercu b_1_99999.bmp2"}));
}

TEST_F(Releve, FailedPrintKeepsTheFile) {
  pendant_impression = [] { throw erreur(code_erreur::erreur_imprimante, "a_1_1.bmp2"); };
  echoue_sur_a(482, "imprime 1 | a_1_1.bmp2,b_1_1.bmp2");
  EXPECT_TRUE(d.existe("a_1_1.bmp2"));
}

TEST_F(Releve, FileGoneBeforeItsDeletionFails) {
  pendant_impression = [this] { fs::remove(d.chemin("a_1_1.bmp2")); };
  echoue_sur_a(53, "imprime 1 | a_1_1.bmp2,b_1_1.bmp2");
}

TEST_F(Releve, FolderStandingInPlaceOfTheFileIsNotDeleted) {
  pendant_impression = [this] {
    fs::remove(d.chemin("a_1_1.bmp2"));
    fs::create_directory(d.chemin("a_1_1.bmp2"));
  };
  echoue_sur_a(75, "imprime 1 | a_1_1.bmp2,b_1_1.bmp2");
  EXPECT_TRUE(fs::is_directory(d.chemin("a_1_1.bmp2")));
}

TEST_F(Releve, MissingFolderFailsBeforeAnythingElse) {
  auto e = releve("/absent");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->numero(), 76);
  EXPECT_NE(std::string(e->description()).find("/absent"), std::string::npos);
  EXPECT_TRUE(journal.empty());
}
