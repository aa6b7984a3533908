#pragma once
// Removal of a job file once its job is safe with the spooler.

#include <string>

namespace agent {

// Removes the file at `chemin`. False, the file left as it is, when the file system refuses
// because another program or workstation has it open (a share's sharing violation): the file is
// still being written or held elsewhere. Already gone: fichier_introuvable; refused:
// permission_refusee; anything else, a folder in its place included: acces_fichier.
bool supprime_travail(const std::string& chemin);

}  // namespace agent
