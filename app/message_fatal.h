#pragma once
// How the agent says that it stops: a critical record line (which also reaches stderr) and a
// modal message naming the error's number and description, closed by the operator or, in the
// builds that set a delay, by itself.

#include <string>

#include "core/erreur.h"

class QWidget;

namespace agent {

// The message alone, `texte` as texte_erreur_fatale words it. Returns once it is closed.
// `delai_ms` 0: it waits for the operator.
void montre_erreur_fatale(QWidget* parent, const std::string& texte, int delai_ms);

// The record's line, then the message.
void signale_erreur_fatale(QWidget* parent, const erreur& e, int delai_ms);

}  // namespace agent
