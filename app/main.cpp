// agent_impression: prints every job file that arrives in the watched folder on the printer named
// by the whole command line, then deletes it.

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>

#include <QApplication>

#include "app/form1.h"
#include "app/ligne_commande.h"
#include "app/message_fatal.h"
#include "app/sortie_journal.h"
#include "core/journal.h"
#include "cups/imprimante_cups.h"
#include "intake/verrou_local.h"

namespace {

// The test build only: AGENT_ESSAI_SIGNAL_SUPPRESSION=KILL (or STOP) makes the agent kill (or
// freeze) itself once its first job is held by the spooler, before its file is deleted, as a
// crash, a power cut or a stalled machine would at the worst moment.
std::function<void()> avant_suppression() {
#ifdef AGENT_CROCHET_SUPPRESSION
  const char* signal = std::getenv("AGENT_ESSAI_SIGNAL_SUPPRESSION");
  if (!signal) return {};
  const int numero = std::strcmp(signal, "STOP") == 0 ? SIGSTOP : SIGKILL;
  return [numero, fait = false]() mutable {
    if (!std::exchange(fait, true)) ::raise(numero);
  };
#else
  return {};
#endif
}

}  // namespace

int main(int argc, char** argv) {
  // The whole command line is a printer's name, and a printer may be called "-style": Qt gets no
  // arguments of its own. Its settings come from the environment (QT_QPA_PLATFORM, …).
  int argc_qt = 1;
  char* argv_qt[] = {argv[0], nullptr};
  (void)argc;
  static const char identifiant[] = "agent_impression";
  agent::installe_sortie_journal(identifiant);
  QApplication application(argc_qt, argv_qt);
  QApplication::setApplicationName(identifiant);
  QApplication::setApplicationVersion(AGENT_VERSION);

  const std::string dossier = AGENT_DOSSIER_SURVEILLE;
  agent::note_info("démarrage : version=%s dossier=%s imprimante=%s processus=%lld", AGENT_VERSION,
                   agent::champ(dossier).c_str(), agent::champ(agent::ligne_de_commande()).c_str(),
                   static_cast<long long>(::getpid()));

  // A second agent on this workstation stops before it touches the folder.
  agent::verrou_local verrou;
  if (const auto refus = verrou.prend(dossier)) {
    agent::signale_erreur_fatale(nullptr, *refus, AGENT_DELAI_MESSAGE_FATAL_MS);
    return agent::code_sortie_erreur;
  }

  agent::imprimante_cups imprimante(QApplication::applicationName().toStdString());
  agent::Form1 form1(imprimante, {.dossier_surveille = dossier,
                                  .ligne_de_commande = agent::ligne_de_commande,
                                  .delai_message_fatal_ms = AGENT_DELAI_MESSAGE_FATAL_MS,
                                  .delai_abandon_verrou = std::chrono::seconds(AGENT_DELAI_ABANDON_VERROU_S),
                                  .avant_suppression = avant_suppression()});
  form1.show();
  return QApplication::exec();
}
