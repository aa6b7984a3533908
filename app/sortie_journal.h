#pragma once
// Where the record (core/journal.h) and Qt's own messages go.
//
// Debian's Qt 6 is built without journald support: left alone it writes every message to stderr.
// An agent started with the desktop session has nobody reading its stderr (it ends in
// ~/.xsession-errors, or in the journal under the session manager's name), so the agent chooses
// as a Qt built with journald support would: the systemd journal, under the program's name as
// its identifier (`journalctl --user -t agent_impression`), when journald runs and stderr has no
// terminal, unless QT_FORCE_STDERR_LOGGING=1; stderr otherwise. Critical lines, the fatal errors,
// also go to stderr in any case, as they always have.

namespace agent {

// `identifiant`: the journal's identifier and the prefix of the record's lines on stderr.
void installe_sortie_journal(const char* identifiant);

}  // namespace agent
