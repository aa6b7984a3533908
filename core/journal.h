#pragma once
// The agent's record: one line per event (start, each job sent, final, taken up or cancelled,
// what became of it, each file left waiting, each fatal error, each lock decision; each queue
// decision at debug level). Lines are French, for the operator, and start with a fixed phrase
// followed by key=value fields, so that they can be searched for. Where they go (the systemd
// journal or stderr) is the start-up's choice (app/sortie_journal): the core only writes them.

#include <string>

namespace agent {

enum class niveau_journal { debug, info, avertissement, critique };

// Where each line goes, the start-up's choice. Until one is installed, lines go to stderr after
// "agent_impression: ", debug lines left out.
using sortie_journal = void (*)(niveau_journal niveau, const char* ligne);
// `debug`: whether debug lines are written at all. Not thread-safe: at start-up, before any line.
void installe_sortie(sortie_journal sortie, bool debug);

// The formats are the C99 ones ("%zu", "%lld"), which on Windows the C++ library takes from
// mingw's own printf rather than Microsoft's: the compiler checks them as such there.
#ifdef __MINGW32__
#define AGENT_FORMAT_PRINTF __attribute__((format(gnu_printf, 1, 2)))
#else
#define AGENT_FORMAT_PRINTF __attribute__((format(printf, 1, 2)))
#endif

// A line of the record, formatted as printf formats. Throws nothing but std::bad_alloc.
void note_info(const char* format, ...) AGENT_FORMAT_PRINTF;
void note_avertissement(const char* format, ...) AGENT_FORMAT_PRINTF;
void note_critique(const char* format, ...) AGENT_FORMAT_PRINTF;
// Nothing unless debug lines were asked for.
void note_debug(const char* format, ...) AGENT_FORMAT_PRINTF;

// A value as a record field: quoted, the quote and the backslash escaped, and control characters
// and bytes that are not UTF-8 written \xNN, so that a name holding spaces, "=", a line feed or
// another encoding's bytes stays one field of one line and names its file exactly.
std::string champ(const std::string& valeur);

}  // namespace agent
