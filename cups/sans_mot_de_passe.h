#pragma once
// The agent runs unattended: libcups must never ask anyone for a password. Left alone, it asks
// on the terminal when the scheduler wants a user to authenticate ("Password for root on
// localhost?"), and the agent, started from a terminal, waits there with its window frozen.

namespace agent {

// Installs, for the calling thread (libcups keeps it per thread), a password callback that
// answers no password at once. Credentials libcups finds without asking (the local peer's, a
// Kerberos ticket, the scheduler's local certificate) still serve; a scheduler that wants more
// refuses the request as unauthorized.
void refuse_mots_de_passe();

// True when the last libcups request on this thread was refused because the scheduler asks for
// authentication.
bool authentification_demandee();

}  // namespace agent
