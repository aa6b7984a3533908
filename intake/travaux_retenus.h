#pragma once
// The jobs the spooler holds for this agent. A job is submitted held under a uuid derived from its
// file (identite_travail.h) and released once its file is deleted, so a held job is one whose file
// was not known to be deleted: the agent stopped, crashed or froze in between, or the deletion
// failed. Taking such a job up again, a file prints neither twice nor never:
// - its file still there and unchanged: the job is the one sent; the file is deleted and the job
//   released, without printing again;
// - its file gone: the file was deleted; the job is released;
// - its file changed, or the job without its whole document: the job is cancelled, and the file
//   prints anew like any other.

#include <set>
#include <string>
#include <vector>

#include "intake/releve.h"

namespace agent {

// Deletes the job file at `chemin` and then releases its job `t` (when it has one: t.travail > 0),
// recording it, and hands it to actions.suit. False when the deletion was refused because the
// file is in use: the job is cancelled and the file stays. Any other failure throws, the job
// left held.
bool rend_final(const std::string& chemin, const std::string& nom, const travail_retenu& t,
                const actions_releve& actions);

// Takes up every job the spooler holds for the folder `dossier`, matching each with the files of
// `noms` (the poll's listing), as above; may load those files into the preview. Returns the names
// whose file it dealt with (deleted, or left because in use, added to `laisses`): the poll must
// not print them. Throws what the spooler and the files throw.
std::set<std::string> reprend_travaux_retenus(const std::string& dossier, const std::vector<std::string>& noms,
                                              const actions_releve& actions, std::vector<fichier_laisse>& laisses);

}  // namespace agent
