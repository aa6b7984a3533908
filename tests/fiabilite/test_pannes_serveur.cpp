// The print scheduler failing under the running agent: gone, hung, refusing, its queue removed or
// stopped. A failure must end the agent with a message naming it, within the per-operation
// timeout, and leave the job in the folder; a stopped queue is no failure, the job waits there.

#include <gtest/gtest.h>

#include <QImage>
#include <fstream>

#include "tests/fiabilite/banc_agent.h"
#include "tests/support/bmp_essai.h"
#include "tests/support/processus_essai.h"

using namespace agent::essai;

namespace {

const std::string job = "a_b_1.bmp2";

// The agent ended with `attendu` in its message, printed nothing and left the job in place.
void echec_sans_impression(banc_agent& banc, const std::string& attendu) {
  ASSERT_TRUE(banc.attend_fin()) << "l'agent ne s'est pas arrêté";
  EXPECT_EQ(banc.agent().code_sortie(), 1);
  EXPECT_NE(banc.agent().erreurs().find(attendu), std::string::npos) << banc.agent().erreurs();
  EXPECT_EQ(banc.restants(), std::vector<std::string>{job});
}

}  // namespace

TEST(PanneServeur, SchedulerGoneAtTheTickIsAnErrorAndTheJobStays) {
  banc_agent banc;
  banc.depose(job, bmp_essai());
  banc.lance();
  banc.serveur.tue();  // the agent talks to the scheduler only from its first poll on
  echec_sans_impression(banc, message_fatal(482, "Erreur d'imprimante : le serveur d'impression " +
                                                     banc.serveur.socket().string() + " ne répond pas"));
}

TEST(PanneServeur, SchedulerHungAtTheTickIsAnErrorWithinTheTimeoutNotAFrozenAgent) {
  banc_agent banc;
  banc.depose(job, bmp_essai());
  banc.lance();
  banc.serveur.suspend();  // its socket still accepts connections; nothing answers
  echec_sans_impression(banc, message_fatal(482,
                                            "Erreur d'imprimante : la liste des imprimantes est indisponible "
                                            ": pas de réponse en 5000 ms"));
  banc.serveur.reprend();
  EXPECT_TRUE(banc.serveur.travaux().empty());
}

TEST(PanneServeur, SchedulerHungWhileAJobPrintsIsAnErrorWithinTheTimeout) {
  // Every request in the scheduler's access log, so that the test knows where the agent stands.
  banc_agent banc({"AccessLogLevel all"});
  // A whole black page: drawing it and making its PDF leave the scheduler time to stop between
  // the check of the copies and the page's submission.
  QImage grande(2480, 3400, QImage::Format_RGB32);
  grande.fill(Qt::black);
  banc.depose(job, ecrit_bmp(grande, 24));
  const auto lectures = [&] {
    std::ifstream journal(banc.serveur.dossier() / "access_log");
    int n = 0;
    for (std::string ligne; std::getline(journal, ligne);)
      n += ligne.find("Get-Printer-Attributes") != std::string::npos;
    return n;
  };
  const int avant = lectures();  // the queue's own set-up
  banc.lance();

  // The copies are checked against the queue's capabilities; the next request is the page's.
  ASSERT_TRUE(attend_que([&] { return lectures() >= avant + 1; }, attente_agent)) << banc.agent().erreurs();
  banc.serveur.suspend();

  ASSERT_TRUE(banc.attend_fin()) << "l'agent ne s'est pas arrêté";
  EXPECT_EQ(banc.agent().code_sortie(), 1);
  const std::string erreurs = banc.agent().erreurs();
  EXPECT_NE(erreurs.find(message_fatal(482, "Erreur d'imprimante : ")), std::string::npos) << erreurs;
  EXPECT_NE(erreurs.find("pas de réponse en 5000 ms"), std::string::npos) << erreurs;
  EXPECT_EQ(banc.restants(), std::vector<std::string>{job});
  banc.serveur.reprend();
  EXPECT_TRUE(banc.serveur.travaux().empty());
}

TEST(PanneServeur, QueueRejectingJobsIsAnErrorAndNoJobIsLeftBehind) {
  banc_agent banc;
  banc.serveur.refuse_travaux(file_agent);
  banc.depose(job, bmp_essai());
  banc.lance();
  echec_sans_impression(banc,
                        message_fatal(482, "Erreur d'imprimante : l'imprimante « QLS4100 » refuse le travail : "));
  EXPECT_TRUE(banc.serveur.travaux().empty());
}

TEST(PanneServeur, QueueThatCannotPrintColourIsAnErrorAndTheJobStays) {
  banc_agent banc;
  pilote gris{300, "A4", sorte_file::postscript};
  gris.couleur = false;
  banc.serveur.supprime(file_agent);
  banc.serveur.ajoute_file(file_agent, description_file_agent, gris);
  banc.depose(job, bmp_essai());
  banc.lance();
  echec_sans_impression(banc,
                        message_fatal(482, "Erreur d'imprimante : l'imprimante « QLS4100 » n'imprime pas en couleur"));
  EXPECT_TRUE(banc.serveur.travaux().empty());
}

TEST(PanneServeur, QueueRemovedBetweenTwoPollsIsAnErrorNotAPrintElsewhere) {
  banc_agent banc;
  // A default queue that the agent must not fall back on once its own has gone.
  banc.serveur.ajoute_file("Bureau", "Bureau");
  banc.serveur.rend_defaut("Bureau");
  banc.depose("a_b_2.bmp2", bmp_essai());
  banc.lance();
  ASSERT_TRUE(banc.attend_restants({})) << banc.agent().erreurs();
  const auto premiers = banc.serveur.travaux();
  ASSERT_EQ(premiers.size(), 1u);
  EXPECT_EQ(premiers[0].file, file_agent);
  EXPECT_EQ(premiers[0].copies, 2);

  banc.serveur.supprime(file_agent);
  banc.depose(job, bmp_essai());
  echec_sans_impression(banc, message_fatal(484,
                                            "Imprimante introuvable : « QLS4100 » n'est pas une file du "
                                            "serveur d'impression "));
  for (const travail& t : banc.serveur.travaux()) EXPECT_EQ(t.id, premiers[0].id) << "travail sur " << t.file;
}

TEST(PanneServeur, DisabledQueueHoldsTheJobAndTheAgentGoesOn) {
  banc_agent banc;
  banc.serveur.desactive(file_agent);
  banc.depose("a_b_3.bmp2", bmp_essai());
  banc.lance();
  ASSERT_TRUE(banc.attend_restants({})) << banc.agent().erreurs();
  EXPECT_TRUE(banc.agent().en_vie());
  EXPECT_EQ(banc.agent().erreurs().find("Erreur"), std::string::npos) << banc.agent().erreurs();

  // Deleted from the folder, yet nothing lost: the queue holds the whole job until restarted.
  const auto travaux = banc.serveur.travaux();
  ASSERT_EQ(travaux.size(), 1u);
  EXPECT_EQ(travaux[0].etat, etat_travail::en_attente);
  EXPECT_EQ(travaux[0].copies, 3);
  EXPECT_EQ(points_page(banc.serveur.document(travaux[0].id)), points_image_essai());
}

// A scheduler that wants a user to authenticate before a job, and an agent started from a
// terminal, where libcups would ask for a password and wait for an answer that never comes.
TEST(PanneServeur, SchedulerAskingForAPasswordIsAnErrorNotAPromptOnTheTerminal) {
  banc_agent banc({"DefaultPolicy authentification", "<Policy authentification>",
                   "  <Limit Create-Job Print-Job Print-URI Validate-Job>", "    AuthType Basic",
                   "    Require user @SYSTEM", "  </Limit>", "  <Limit All>", "    Order deny,allow", "  </Limit>",
                   "</Policy>"});
  banc.depose(job, bmp_essai());
  const auto debut = std::chrono::steady_clock::now();
  banc.lance_sous_terminal();
  ASSERT_TRUE(banc.attend_fin()) << "l'agent attend encore : " << lit_fichier(banc.repertoire() / "terminal.txt");
  // The first poll, its settle wait, and one operation's deadline.
  EXPECT_LT(std::chrono::steady_clock::now() - debut, std::chrono::seconds(10 + 2 + 5 + 5));
  EXPECT_EQ(banc.agent().code_sortie(), 1);
  const std::string terminal = lit_fichier(banc.repertoire() / "terminal.txt");
  EXPECT_NE(terminal.find(message_fatal(482,
                                        "Erreur d'imprimante : l'imprimante « QLS4100 » refuse le travail : le "
                                        "serveur d'impression demande une authentification")),
            std::string::npos)
      << terminal;
  EXPECT_EQ(terminal.find("Password"), std::string::npos) << terminal;
  EXPECT_EQ(banc.restants(), std::vector<std::string>{job});
}
