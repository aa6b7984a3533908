#pragma once
// Removal of a job file once its print run has returned.

#include <string>

namespace agent {

// Removes the file at `chemin`. Already gone: fichier_introuvable; refused: permission_refusee;
// anything else, a folder in its place included: acces_fichier.
void supprime_travail(const std::string& chemin);

}  // namespace agent
