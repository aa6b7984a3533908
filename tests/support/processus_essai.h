#pragma once
// What the fixtures that start real programs share: private folders, whole files, and helper
// processes started, waited for and stopped. Every failure throws std::runtime_error.

#include <sys/types.h>
#include <sys/un.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace agent::essai {

// A fresh folder under the system's temporary folder, readable and traversable by everyone: as
// root, the print scheduler runs its filters as user lp, who must reach what is inside.
std::filesystem::path dossier_temporaire(const std::string& prefixe);

// A TCP port of the loopback that nothing listens on now, as the system hands them out.
int port_libre();

// The address of the local socket at `chemin`.
sockaddr_un adresse_locale(const std::filesystem::path& chemin);

std::string lit_fichier(const std::filesystem::path& chemin);
void ecrit_texte(const std::filesystem::path& chemin, const std::string& contenu);

// Starts `commande` (looked up in PATH) with its output appended to `journal`.
pid_t demarre(const std::vector<std::string>& commande, const std::filesystem::path& journal);
// Its exit code once it has ended, or 128 + the signal that ended it.
int attend_fin(pid_t pid);
// SIGTERM (after SIGCONT, should it be stopped), then SIGKILL if it is still there after `delai`.
void arrete(pid_t pid, std::chrono::milliseconds delai = std::chrono::seconds(10));
// Runs `commande` to its end; a non-zero exit throws with what it wrote to `journal`.
void execute(const std::vector<std::string>& commande, const std::filesystem::path& journal);

}  // namespace agent::essai
