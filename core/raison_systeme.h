#pragma once
// What the operating system said of a failed file operation, in French, for the error that names
// the file: "Erreur d'accès au chemin ou au fichier : …/a_b_1.bmp2 : fichier utilisé par un autre
// programme ou un autre poste (EBUSY)". The symbolic name stays, for whoever searches for it.

#include <string>
#include <system_error>

namespace agent {

// The reason, then the system's own name for it in parentheses (its number when it has none
// known here). Throws nothing but std::bad_alloc.
std::string raison_systeme(std::error_code ec);

// Whether `ec` holds one of Windows's own numbers (ERROR_SHARING_VIOLATION is 32), as its
// std::system_category does there, rather than an errno value. Never on Linux.
bool est_code_windows(std::error_code ec);

}  // namespace agent
