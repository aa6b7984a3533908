#pragma once
// What the file system reported, as the agent's error naming the path concerned and the system's
// reason. The caller throws the result where the failure happened.

#include <string>
#include <system_error>

#include "core/erreur.h"

namespace agent {

// For the watched folder: missing, not a folder or out of reach (the file server is down)
// is chemin_introuvable.
erreur erreur_dossier(std::error_code ec, const std::string& dossier);

// For a job file: already gone is fichier_introuvable.
erreur erreur_fichier(std::error_code ec, const std::string& chemin);

// Whether the file system refused because another program or another workstation has the file
// open: a file server's sharing violation, which only a share reports.
bool est_en_usage(std::error_code ec);

}  // namespace agent
