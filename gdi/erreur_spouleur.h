#pragma once
// The spooler's failures as the agent's errors: the number the CUPS side gives the same failure
// (484 for a printer that does not exist, 482 for any other refusal), then what failed and the
// system's own message for GetLastError.

#include <windows.h>

#include <string>

#include "core/erreur.h"

namespace agent {

// "Erreur d'imprimante : StartDoc sur « QLS4100 » : <message> (erreur 1804)", from the calling
// thread's last error; 484 when it says the printer does not exist.
[[noreturn]] void echec_spouleur(const std::string& quoi);

// The system's message for `numero`, in French where the system has it, without its final line
// break; "erreur <numero>" when it has none.
std::string message_systeme(DWORD numero);

}  // namespace agent
