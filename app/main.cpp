// agent_impression: prints every job file that arrives in the watched folder on the printer named
// by the whole command line, then deletes it.

#include <QApplication>

#include "app/form1.h"
#include "app/ligne_commande.h"
#include "cups/imprimante_cups.h"

int main(int argc, char** argv) {
  // The whole command line is a printer's name, and a printer may be called "-style": Qt gets no
  // arguments of its own. Its settings come from the environment (QT_QPA_PLATFORM, …).
  int argc_qt = 1;
  char* argv_qt[] = {argv[0], nullptr};
  (void)argc;
  QApplication application(argc_qt, argv_qt);
  QApplication::setApplicationName("agent_impression");

  agent::imprimante_cups imprimante(QApplication::applicationName().toStdString());
  agent::Form1 form1(imprimante, {.dossier_surveille = AGENT_DOSSIER_SURVEILLE,
                                  .ligne_de_commande = agent::ligne_de_commande,
                                  .delai_message_fatal_ms = AGENT_DELAI_MESSAGE_FATAL_MS});
  form1.show();
  return QApplication::exec();
}
