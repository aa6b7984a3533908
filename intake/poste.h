#pragma once
// Who this agent is, as the folder's lock names it to the other workstations: the host, the
// machine and the process. One file per platform defines these (os/posix/poste.cpp).

#include <string>

namespace agent {

// The workstation's name on the network. Throws nothing.
std::string nom_poste();

// This machine's identifier, the same across restarts and renames (Linux's machine-id); empty when
// it has none. Throws nothing.
std::string identifiant_machine();

// This process's number, as the system's tools show it. Throws nothing.
std::string numero_processus();

// Whether the process numbered `numero` on this machine no longer exists, or is this very process
// (a number a restarted machine gave again). One that exists under another user is alive; text
// that is no process number is not gone. Throws nothing.
bool processus_disparu(const std::string& numero);

}  // namespace agent
