#include "tests/support/processus_essai.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace agent::essai {

namespace fs = std::filesystem;

int port_libre() {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in adresse{};
  adresse.sin_family = AF_INET;
  adresse.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t taille = sizeof adresse;
  const bool lie = ::bind(s, reinterpret_cast<const sockaddr*>(&adresse), sizeof adresse) == 0 &&
                   ::getsockname(s, reinterpret_cast<sockaddr*>(&adresse), &taille) == 0;
  ::close(s);
  if (!lie) throw std::runtime_error(std::string("aucun port libre : ") + std::strerror(errno));
  return ntohs(adresse.sin_port);
}

fs::path dossier_temporaire(const std::string& prefixe) {
  std::string modele = (fs::temp_directory_path() / (prefixe + "XXXXXX")).string();
  if (!mkdtemp(modele.data())) throw std::runtime_error("mkdtemp : " + std::string(std::strerror(errno)));
  fs::permissions(modele, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
  return modele;
}

sockaddr_un adresse_locale(const fs::path& chemin) {
  sockaddr_un adresse{};
  adresse.sun_family = AF_UNIX;
  std::strncpy(adresse.sun_path, chemin.c_str(), sizeof adresse.sun_path - 1);
  return adresse;
}

std::string lit_fichier(const fs::path& chemin) {
  std::ifstream f(chemin, std::ios::binary);
  std::ostringstream contenu;
  contenu << f.rdbuf();
  return contenu.str();
}

void ecrit_texte(const fs::path& chemin, const std::string& contenu) {
  std::ofstream f(chemin, std::ios::binary);
  f << contenu;
  if (!f) throw std::runtime_error("écriture impossible : " + chemin.string());
}

pid_t demarre(const std::vector<std::string>& commande, const fs::path& journal) {
  std::vector<char*> arguments;
  for (const auto& a : commande) arguments.push_back(const_cast<char*>(a.c_str()));
  arguments.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, journal.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = 0;
  const int e = posix_spawnp(&pid, arguments[0], &actions, nullptr, arguments.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (e != 0) throw std::runtime_error(commande[0] + " : " + std::strerror(e));
  return pid;
}

int attend_fin(pid_t pid) {
  int statut = 0;
  while (waitpid(pid, &statut, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(statut) ? WEXITSTATUS(statut) : 128 + WTERMSIG(statut);
}

void arrete(pid_t pid, std::chrono::milliseconds delai) {
  if (pid <= 0) return;
  kill(pid, SIGCONT);
  kill(pid, SIGTERM);
  const auto limite = std::chrono::steady_clock::now() + delai;
  int statut = 0;
  while (waitpid(pid, &statut, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > limite) {
      kill(pid, SIGKILL);
      attend_fin(pid);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void execute(const std::vector<std::string>& commande, const fs::path& journal) {
  const auto avant = fs::exists(journal) ? fs::file_size(journal) : 0;
  if (attend_fin(demarre(commande, journal)) != 0) {
    std::string texte;
    for (const auto& a : commande) texte += a + " ";
    throw std::runtime_error(texte + "a échoué : " + lit_fichier(journal).substr(avant));
  }
}

}  // namespace agent::essai
