#pragma once
// Runs the real agent binary for end-to-end tests. The test build of the agent watches the
// relative folder "masques_en_attente/", so each case gets a folder of its own by starting the
// agent in a fresh working directory. Its stderr, record included, goes to a file in that
// directory.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace agent::essai {

// The folder the test build of the agent watches, relative to its working directory.
inline constexpr const char* dossier_agent_essai = "masques_en_attente";

// Calls `condition` every few milliseconds until it holds or `delai` has passed.
bool attend_que(const std::function<bool()>& condition, std::chrono::milliseconds delai);

class agent_en_cours {
public:
  // Starts the test build of the agent in `repertoire` with `arguments` after its own name,
  // offscreen.
  agent_en_cours(const std::filesystem::path& repertoire, const std::vector<std::string>& arguments)
      : agent_en_cours(AGENT_BINAIRE_ESSAI, repertoire, arguments, false) {}
  // Any build of the agent; `a_l_ecran`: on the display when there is one.
  agent_en_cours(const std::string& binaire, const std::filesystem::path& repertoire,
                 const std::vector<std::string>& arguments, bool a_l_ecran);
  ~agent_en_cours();  // stops it if it still runs
  agent_en_cours(const agent_en_cours&) = delete;
  agent_en_cours& operator=(const agent_en_cours&) = delete;

  // Waits until the agent ends by itself; false if it still runs after `delai`.
  bool attend_fin(std::chrono::milliseconds delai);
  // SIGTERM (and SIGCONT, should it be stopped), then waits.
  void arrete();
  bool en_vie();
  // Sends `signal` to it while it runs.
  void signale(int signal);
  // Whether it is stopped by a signal (SIGSTOP), not running.
  bool suspendu() const;

  // Valid once ended: the exit code, or 128 + signal.
  int code_sortie() const { return code_; }
  std::string erreurs() const;

private:
  std::filesystem::path repertoire_;
  pid_t pid_ = 0;
  int code_ = -1;
};

}  // namespace agent::essai
