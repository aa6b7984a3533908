#pragma once
// The agent's record: one line per event (start, each job printed, each file left waiting, each
// fatal error, each lock decision; each queue decision at debug level), through Qt's logging under
// a category of the agent's own. Lines are French, for the operator, and start with a fixed
// phrase followed by key=value fields, so that they can be searched for. Where they go (the
// systemd journal or stderr) is the start-up's choice (app/sortie_journal).

#include <QLoggingCategory>
#include <string>

namespace agent {

// Named after the program, as the journal's identifier is. Debug lines are off unless
// QT_LOGGING_RULES="agent_impression.debug=true".
Q_DECLARE_LOGGING_CATEGORY(journal_agent)

// A value as a record field: quoted, the quote and the backslash escaped, and control characters
// and bytes that are not UTF-8 written \xNN, so that a name holding spaces, "=", a line feed or
// another encoding's bytes stays one field of one line and names its file exactly.
std::string champ(const std::string& valeur);

}  // namespace agent
