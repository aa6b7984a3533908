// One agent per watched folder: a second agent, of this workstation or of another that shares the
// folder, stops without touching it, and the locks of an agent that was killed hold the folder no
// longer than the test build's takeover delay (20 s).

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "intake/verrou_dossier.h"
#include "tests/fiabilite/banc_agent.h"
#include "tests/support/processus_essai.h"

using namespace agent::essai;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

constexpr auto delai_abandon_essai = 20s;

// The lock as the agent of another workstation writes it, `releve` counting its polls.
void verrou_voisin(const banc_agent& banc, int releve) {
  const fs::path provisoire = banc.dossier() / ".verrou_voisin";
  ecrit_texte(provisoire, "hote=poste-voisin\nmachine=0123456789abcdef\nprocessus=4242\ninstance=voisin\nreleve=" +
                              std::to_string(releve) + "\n");
  fs::rename(provisoire, banc.dossier() / agent::nom_verrou_dossier);
}

bool contient(const std::string& texte, const std::string& partie) { return texte.find(partie) != std::string::npos; }

std::vector<std::string> noms_travaux(const banc_agent& banc) {
  std::vector<std::string> noms;
  for (const travail& t : banc.serveur.travaux()) noms.push_back(t.nom);
  return noms;
}

}  // namespace

TEST(UnAgentParDossier, SecondAgentOfThisWorkstationStopsAtOnceAndEachJobPrintsOnce) {
  banc_agent banc;
  banc.depose("a_b_1.bmp2", bmp_essai());
  banc.depose("b_b_2.bmp2", bmp_essai());
  banc.lance();
  ASSERT_TRUE(attend_que([&] { return fs::exists(banc.dossier() / agent::nom_verrou_dossier); }, attente_agent))
      << banc.agent().erreurs();

  // The same folder by another path, as a second menu entry or a link would give it.
  const fs::path ailleurs = dossier_temporaire("agent_second_");
  fs::create_directory_symlink(banc.dossier(), ailleurs / dossier_agent_essai);
  agent_en_cours second(ailleurs, {"QLS-4100", "Xe", "drivers", "standard"});
  ASSERT_TRUE(second.attend_fin(attente_agent));
  EXPECT_EQ(second.code_sortie(), 1);
  EXPECT_TRUE(contient(second.erreurs(), message_fatal(70, "Permission refusée") +
                                             " : le dossier masques_en_attente/ est déjà surveillé par un autre "
                                             "agent de ce poste (processus "))
      << second.erreurs();

  ASSERT_TRUE(banc.attend_restants({})) << banc.agent().erreurs();
  EXPECT_EQ(noms_travaux(banc), (std::vector<std::string>{"a_b_1.bmp2", "b_b_2.bmp2"}));
  EXPECT_TRUE(banc.agent().en_vie());
  fs::remove_all(ailleurs);
}

TEST(UnAgentParDossier, LiveLockOfAnotherWorkstationStopsTheAgentNamingIt) {
  banc_agent banc;
  banc.depose("a_b_1.bmp2", bmp_essai());
  verrou_voisin(banc, 1);
  std::jthread voisin([&](std::stop_token arret) {
    for (int releve = 2; !arret.stop_requested(); ++releve) {
      std::this_thread::sleep_for(500ms);
      verrou_voisin(banc, releve);
    }
  });
  banc.lance();
  ASSERT_TRUE(banc.attend_fin()) << "l'agent ne s'est pas arrêté";
  voisin = {};
  EXPECT_EQ(banc.agent().code_sortie(), 1);
  EXPECT_TRUE(contient(banc.agent().erreurs(), message_fatal(70, "Permission refusée") +
                                                   " : le dossier masques_en_attente/ est surveillé par l'agent du "
                                                   "poste « poste-voisin » (processus 4242)"))
      << banc.agent().erreurs();
  EXPECT_TRUE(banc.serveur.travaux().empty());
  EXPECT_EQ(banc.restants(), std::vector<std::string>{"a_b_1.bmp2"});
  EXPECT_TRUE(contient(lit_fichier(banc.dossier() / agent::nom_verrou_dossier), "hote=poste-voisin"));
}

// The other workstation stopped refreshing its lock: taken over once unchanged for the delay.
TEST(UnAgentParDossier, LockLeftByAnotherWorkstationIsTakenOverAfterTheDelayAndRecorded) {
  banc_agent banc;
  banc.depose("a_b_1.bmp2", bmp_essai());
  verrou_voisin(banc, 1);
  const auto debut = std::chrono::steady_clock::now();
  banc.lance();
  ASSERT_TRUE(banc.attend_restants({})) << banc.agent().erreurs();
  EXPECT_GE(std::chrono::steady_clock::now() - debut, delai_abandon_essai);
  EXPECT_TRUE(contient(banc.agent().erreurs(),
                       "dossier repris : dossier=\"masques_en_attente/\" hote=\"poste-voisin\" processus=4242 "
                       "raison=\"verrou non rafraîchi\""))
      << banc.agent().erreurs();
  EXPECT_EQ(noms_travaux(banc), std::vector<std::string>{"a_b_1.bmp2"});
  EXPECT_FALSE(contient(lit_fichier(banc.dossier() / agent::nom_verrou_dossier), "poste-voisin"));
}

TEST(UnAgentParDossier, KilledAgentsLocksDoNotHoldTheNextAgent) {
  banc_agent banc;
  banc.lance();
  // The lock is created empty and then named: killed in between, it names no one, and waits out
  // the takeover delay like another workstation's.
  const fs::path verrou = banc.dossier() / agent::nom_verrou_dossier;
  ASSERT_TRUE(
      attend_que([&] { return fs::exists(verrou) && contient(lit_fichier(verrou), "processus="); }, attente_agent));
  banc.agent().arrete();  // SIGTERM: the agent ends with no clean-up, as in a crash
  ASSERT_TRUE(fs::exists(verrou));

  banc.depose("a_b_1.bmp2", bmp_essai());
  const auto debut = std::chrono::steady_clock::now();
  banc.lance();
  ASSERT_TRUE(banc.attend_restants({})) << banc.agent().erreurs();
  // Its first poll comes 10 s after its start.
  EXPECT_LT(std::chrono::steady_clock::now() - debut, 10s + delai_abandon_essai);
  EXPECT_TRUE(contient(banc.agent().erreurs(), "raison=\"processus terminé\"")) << banc.agent().erreurs();
  EXPECT_EQ(noms_travaux(banc), std::vector<std::string>{"a_b_1.bmp2"});
}
