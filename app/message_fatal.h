#pragma once
// How the agent says that it stops: a critical record line (which also reaches stderr) and a
// modal message naming the error's number and description, closed by the operator or, in the
// builds that set a delay, by itself.

#include "core/erreur.h"

class QWidget;

namespace agent {

// "Erreur 482 : Erreur d'imprimante : …"
std::string texte_erreur_fatale(const erreur& e);

// Returns once the message is closed. `delai_ms` 0: it waits for the operator.
void signale_erreur_fatale(QWidget* parent, const erreur& e, int delai_ms);

}  // namespace agent
