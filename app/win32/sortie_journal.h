#pragma once
// Where the record (core/journal.h) goes on Windows. With a console, a pipe or a file behind
// stderr (started from a command prompt, or by a test that reads it), to stderr as on Linux.
// Otherwise, as a Windows administrator looks for it: the Application event log under the source
// agent_impression, which the installer registers with this executable's message table; without
// that source, the bounded file %LOCALAPPDATA%\agent_impression\journal.txt (journal_fichier.h).
// Debug lines are not written.

namespace agent {

void installe_sortie_journal();

}  // namespace agent
