#pragma once
// The identity a job carries in the spooler (its job-uuid), derived from its job file, so that a
// job the spooler holds can be matched with its file again after any failure, a restart included.
// Four parts of 32 bits: the watched folder (which jobs are this agent's), the file's name (which
// file a job is for), its size and modification time, and the picture it printed. A held job's
// file is unchanged when its last two parts are the same again.

#include <cstdint>
#include <string>

#include "intake/releve_stabilite.h"

namespace agent {

// "urn:uuid:" and the part of the watched folder: every job of this agent's starts with it.
std::string prefixe_uuid(const std::string& dossier);

// The uuid of the job printing `image` (the picture's digest) from the file `nom` of `dossier` in
// state `etat`.
std::string uuid_travail(const std::string& dossier, const std::string& nom, const etat_fichier& etat, uint64_t image);

// Whether `uuid` is that of a job printed from the file `nom` of `dossier`, whatever its content.
bool uuid_du_fichier(const std::string& uuid, const std::string& dossier, const std::string& nom);

// Whether `uuid` is that of the file `nom` of `dossier` in state `etat`, whatever its picture: when
// not, the file has changed since its job was made, and no picture needs to be read to know it.
bool uuid_de_l_etat(const std::string& uuid, const std::string& dossier, const std::string& nom,
                    const etat_fichier& etat);

}  // namespace agent
