// agent_impression on Windows: prints every job file that arrives in the watched folder on the
// printer named by the whole command line, then deletes it.

#include <windows.h>

#include "app/win32/form1.h"
#include "app/win32/ligne_commande.h"
#include "app/win32/message.h"
#include "app/win32/sortie_journal.h"
#include "core/journal.h"
#include "gdi/imprimante_gdi.h"
#include "intake/verrou_local.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int affichage) {
  agent::installe_sortie_journal();
  // The layout's twips become the screen's own pixels rather than a 96-dpi window the system
  // enlarges, blurred.
  ::SetProcessDPIAware();

  const std::string dossier = AGENT_DOSSIER_SURVEILLE;
  agent::note_info("démarrage : version=%s dossier=%s imprimante=%s processus=%lld", AGENT_VERSION,
                   agent::champ(dossier).c_str(), agent::champ(agent::ligne_de_commande()).c_str(),
                   static_cast<long long>(::GetCurrentProcessId()));

  // A second agent on this workstation stops before it touches the folder. The lock is a file
  // in the user's local application data held open without sharing writes: the system releases
  // it with the process however it ends, as it would a named mutex, and it also names the
  // holder's process for the message, which a mutex cannot.
  agent::verrou_local verrou;
  try {
    if (const auto refus = verrou.prend(dossier)) {
      agent::montre_message(nullptr, agent::note_erreur_fatale(*refus), MB_ICONERROR, AGENT_DELAI_MESSAGE_FATAL_MS);
      return agent::code_sortie_erreur;
    }
    agent::imprimante_gdi imprimante("agent_impression");
    agent::Form1 form1(instance, imprimante,
                       {.dossier_surveille = dossier,
                        .ligne_de_commande = agent::ligne_de_commande,
                        .delai_message_fatal_ms = AGENT_DELAI_MESSAGE_FATAL_MS,
                        .delai_abandon_verrou = std::chrono::seconds(AGENT_DELAI_ABANDON_VERROU_S)});
    return form1.execute(affichage);
  } catch (const agent::erreur& e) {
    // The printer service or the window could not even start.
    agent::montre_message(nullptr, agent::note_erreur_fatale(e), MB_ICONERROR, AGENT_DELAI_MESSAGE_FATAL_MS);
    return agent::code_sortie_erreur;
  }
}
