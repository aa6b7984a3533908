// The print scheduler failing under the running agent: gone, hung, refusing, its queue removed or
// stopped, its answers lost. A failure must end the agent with a message naming it, within the
// per-operation timeout, and leave the job in the folder; a stopped queue is no failure, the job
// waits there. Whatever fails between a job's submission and its file's deletion, the agent
// killed or frozen included, the job prints exactly once, by the next agent if need be.

#include <cups/ipp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "tests/fiabilite/banc_agent.h"
#include "tests/support/bmp_essai_qt.h"
#include "tests/support/processus_essai.h"
#include "tests/support/relais_lent.h"

using namespace agent::essai;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

const std::string job = "a_b_1.bmp2";

// The agent ended with `attendu` in its message, printed nothing and left the job in place.
void echec_sans_impression(banc_agent& banc, const std::string& attendu) {
  ASSERT_TRUE(banc.attend_fin()) << "l'agent ne s'est pas arrêté";
  EXPECT_EQ(banc.agent().code_sortie(), 1);
  EXPECT_NE(banc.agent().erreurs().find(attendu), std::string::npos) << banc.agent().erreurs();
  EXPECT_EQ(banc.restants(), std::vector<std::string>{job});
}

// Runs `demarre` with `nom` set to `valeur` in this process's environment, which the agents it
// starts inherit, and puts the variable back after.
void avec_variable(const char* nom, const std::string& valeur, const std::function<void()>& demarre) {
  const char* avant = ::getenv(nom);
  const std::optional<std::string> ancienne = avant ? std::optional<std::string>(avant) : std::nullopt;
  ::setenv(nom, valeur.c_str(), 1);
  demarre();
  if (ancienne) ::setenv(nom, ancienne->c_str(), 1);
  if (!ancienne) ::unsetenv(nom);
}

// The test build of the agent sends itself SIG`signal` just before it deletes its first job file.
void lance_avec_signal(banc_agent& banc, const std::string& signal) {
  avec_variable("AGENT_ESSAI_SIGNAL_SUPPRESSION", signal, [&] { banc.lance(); });
}

// The folder empties, and exactly one of the scheduler's jobs is not cancelled: it completes, with
// the file's picture and copies.
void imprime_une_fois(banc_agent& banc, int32_t copies) {
  ASSERT_TRUE(banc.attend_restants({})) << banc.agent().erreurs();
  std::vector<travail> gardes;
  for (const travail& t : banc.serveur.travaux())
    if (t.etat != etat_travail::annule) gardes.push_back(t);
  ASSERT_EQ(gardes.size(), 1u) << banc.agent().erreurs();
  EXPECT_EQ(banc.serveur.attend_travail_fini(gardes[0].id).copies, copies);
  EXPECT_EQ(points_page(banc.serveur.document(gardes[0].id)), points_image_essai());
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
  // The first look at the scheduler, at the first poll, is for the jobs held since before start.
  echec_sans_impression(banc, message_fatal(482,
                                            "Erreur d'imprimante : la liste des travaux en cours est indisponible "
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
  // Released into the stopped queue, the job is the subject of a warning naming it.
  EXPECT_TRUE(attend_que(
      [&] { return banc.agent().erreurs().find("file arrêtée : file=\"QLS4100\"") != std::string::npos; }, 30s))
      << banc.agent().erreurs();
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

// Killed between the job's submission and its file's deletion: the job waits held, and the next
// agent finds it with its file unchanged and lets it print instead of sending the file again.
TEST(PanneServeur, AgentKilledBeforeTheDeletionLeavesTheJobHeldForTheNextAgentToPrintOnce) {
  banc_agent banc;
  banc.depose("a_b_2.bmp2", bmp_essai());
  lance_avec_signal(banc, "KILL");
  ASSERT_TRUE(banc.attend_fin()) << "l'agent ne s'est pas tué";
  EXPECT_EQ(banc.agent().code_sortie(), 128 + SIGKILL) << banc.agent().erreurs();
  const auto travaux = banc.serveur.travaux();
  ASSERT_EQ(travaux.size(), 1u);
  EXPECT_EQ(travaux[0].etat, etat_travail::retenu);
  EXPECT_EQ(banc.restants(), std::vector<std::string>{"a_b_2.bmp2"});

  banc.lance();
  imprime_une_fois(banc, 2);
  EXPECT_NE(banc.agent().erreurs().find("travail repris : "), std::string::npos) << banc.agent().erreurs();
}

// The scheduler took the whole document and its answer was lost: the agent asks before deciding,
// finds the job with its document, and goes on as if the answer had come.
TEST(PanneServeur, LostAnswerToTheDocumentCountsAsSubmittedAndTheJobPrintsOnce) {
  banc_agent banc;
  relais_lent relais(banc.serveur.socket(), IPP_OP_SEND_DOCUMENT);
  banc.depose("a_b_2.bmp2", bmp_essai());
  avec_variable("CUPS_SERVER", relais.socket().string(), [&] { banc.lance(); });
  imprime_une_fois(banc, 2);
  EXPECT_TRUE(relais.a_perdu());
  EXPECT_TRUE(banc.agent().en_vie());
  EXPECT_EQ(banc.agent().erreurs().find("Erreur"), std::string::npos) << banc.agent().erreurs();
}

// The scheduler made the job and the answer was lost: the job, found without its document, is
// cancelled, and the file prints once all the same, after a restart should the agent have stopped.
TEST(PanneServeur, LostAnswerToTheJobCreationLeavesNoEmptyJobAndTheFilePrintsOnce) {
  banc_agent banc;
  relais_lent relais(banc.serveur.socket(), IPP_OP_CREATE_JOB);
  banc.depose("a_b_2.bmp2", bmp_essai());
  avec_variable("CUPS_SERVER", relais.socket().string(), [&] { banc.lance(); });
  ASSERT_TRUE(attend_que([&] { return banc.restants().empty() || !banc.agent().en_vie(); }, attente_agent))
      << banc.agent().erreurs();
  EXPECT_TRUE(relais.a_perdu());
  for (const travail& t : banc.serveur.travaux())
    EXPECT_TRUE(t.etat == etat_travail::annule || !t.format_document.empty())
        << "travail " << t.id << " sans document : " << banc.agent().erreurs();
  if (!banc.restants().empty()) banc.lance();
  imprime_une_fois(banc, 2);
}

// Frozen between the job's submission and its file's deletion for longer than the folder lock's
// takeover delay: a second agent takes the folder over, and the held job with it; the first,
// woken, finds its folder taken and stops without deleting or printing anything.
TEST(PanneServeur, AgentFrozenPastTheLockDelayIsTakenOverAndStopsOnWakingWithoutPrinting) {
  banc_agent banc;
  banc.depose("a_b_2.bmp2", bmp_essai());
  lance_avec_signal(banc, "STOP");
  ASSERT_TRUE(attend_que([&] { return banc.agent().suspendu(); }, attente_agent)) << banc.agent().erreurs();
  ASSERT_EQ(banc.restants(), std::vector<std::string>{"a_b_2.bmp2"});

  // The same folder by another path, and a runtime folder of its own, which the kernel's lock of
  // this workstation lives in: only the lock file in the folder stands in the second agent's way.
  const fs::path ailleurs = dossier_temporaire("agent_second_");
  const fs::path execution = dossier_temporaire("agent_execution_");
  fs::permissions(execution, fs::perms::owner_all);
  fs::create_directory_symlink(banc.dossier(), ailleurs / dossier_agent_essai);
  std::optional<agent_en_cours> second;
  avec_variable("XDG_RUNTIME_DIR", execution.string(), [&] {
    second.emplace(ailleurs, std::vector<std::string>{"QLS-4100", "Xe", "drivers", "standard"});
  });
  ASSERT_TRUE(banc.attend_restants({})) << second->erreurs();
  EXPECT_NE(second->erreurs().find("travail repris : "), std::string::npos) << second->erreurs();

  banc.agent().signale(SIGCONT);
  ASSERT_TRUE(banc.attend_fin()) << "l'agent réveillé ne s'est pas arrêté";
  EXPECT_EQ(banc.agent().code_sortie(), 1);
  EXPECT_NE(banc.agent().erreurs().find(message_fatal(70,
                                                      "Permission refusée : le dossier masques_en_attente/ a "
                                                      "été repris par l'agent du poste")),
            std::string::npos)
      << banc.agent().erreurs();
  EXPECT_EQ(banc.agent().erreurs().find("travail final : "), std::string::npos) << banc.agent().erreurs();
  imprime_une_fois(banc, 2);
  EXPECT_TRUE(second->en_vie()) << second->erreurs();
  second.reset();
  fs::remove_all(ailleurs);
  fs::remove_all(execution);
}
