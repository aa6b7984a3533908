#include "tests/support/agent_essai.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace agent::essai {

bool attend_que(const std::function<bool()>& condition, std::chrono::milliseconds delai) {
  const auto limite = std::chrono::steady_clock::now() + delai;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > limite) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

agent_en_cours::agent_en_cours(const std::string& binaire, const std::filesystem::path& repertoire,
                               const std::vector<std::string>& arguments, bool a_l_ecran)
    : repertoire_(repertoire) {
  std::vector<std::string> commande = {binaire};
  commande.insert(commande.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& a : commande) argv.push_back(a.data());
  argv.push_back(nullptr);

  if (!a_l_ecran || (!::getenv("DISPLAY") && !::getenv("WAYLAND_DISPLAY"))) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // The record on stderr, where the case reads it, even on a machine whose journal would take it.
  ::setenv("QT_FORCE_STDERR_LOGGING", "1", 1);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, repertoire.c_str());
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int resultat = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (resultat != 0) throw std::runtime_error("agent impossible à lancer : " + commande[0]);
}

agent_en_cours::~agent_en_cours() {
  if (pid_ > 0) arrete();
}

bool agent_en_cours::en_vie() {
  if (pid_ <= 0) return false;
  int etat = 0;
  if (::waitpid(pid_, &etat, WNOHANG) != pid_) return true;
  code_ = WIFEXITED(etat) ? WEXITSTATUS(etat) : 128 + WTERMSIG(etat);
  pid_ = 0;
  return false;
}

bool agent_en_cours::attend_fin(std::chrono::milliseconds delai) {
  return attend_que([this] { return !en_vie(); }, delai);
}

void agent_en_cours::arrete() {
  if (!en_vie()) return;
  ::kill(pid_, SIGTERM);
  ::kill(pid_, SIGCONT);
  int etat = 0;
  ::waitpid(pid_, &etat, 0);
  code_ = WIFEXITED(etat) ? WEXITSTATUS(etat) : 128 + WTERMSIG(etat);
  pid_ = 0;
}

void agent_en_cours::signale(int signal) {
  if (en_vie()) ::kill(pid_, signal);
}

bool agent_en_cours::suspendu() const {
  // The state is the first field after the command's name, which is in parentheses.
  std::ifstream fichier("/proc/" + std::to_string(pid_) + "/stat");
  std::string etat;
  std::getline(fichier, etat);
  const size_t fin_nom = etat.rfind(')');
  return pid_ > 0 && fin_nom != etat.npos && etat.compare(fin_nom, 3, ") T") == 0;
}

std::string agent_en_cours::erreurs() const {
  std::ifstream fichier(repertoire_ / "stderr.txt");
  std::stringstream texte;
  texte << fichier.rdbuf();
  return texte.str();
}

}  // namespace agent::essai
