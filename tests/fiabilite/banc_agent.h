#pragma once
// One case of the reliability tests: a fresh working folder holding the watched folder, a private
// print scheduler with the queue the agent is told to print on, and the real agent binary started
// in that folder. Everything is checked from outside, as an operator would see it: what the
// spooler received, what is left in the folder, the exit code and what the agent wrote on stderr.

#include <QByteArray>
#include <QImage>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/agent_essai.h"
#include "tests/support/serveur_cups_prive.h"

namespace agent::essai {

inline constexpr const char* file_agent = "QLS4100";
inline constexpr const char* description_file_agent = "QLS-4100 Xe drivers standard";

// The first poll comes 10 s after start and every later one 10 s after the previous ended; this
// leaves room for a few polls on a loaded machine. It bounds waits, it times nothing.
inline constexpr std::chrono::seconds attente_agent{90};

// A 3 × 2 picture: red at (0, 0), black at (2, 1), white elsewhere.
QImage image_essai();
// The dots its page must show: (x, y) → 0xRRGGBB.
std::map<std::pair<int, int>, uint32_t> points_image_essai();
// image_essai as a 24-bit Windows bitmap.
QByteArray bmp_essai();

// The non-white pixels of the first page of `pdf` rendered at 300 dpi.
std::map<std::pair<int, int>, uint32_t> points_page(const QByteArray& pdf);

// What the agent writes on stderr for a fatal error, up to the detail.
std::string message_fatal(int numero, const std::string& description);

class banc_agent {
public:
  // `directives`: extra lines for the scheduler's configuration; `avec`: the queue's driver (none:
  // a raw queue).
  explicit banc_agent(const std::vector<std::string>& directives = {}, const std::optional<pilote>& avec = {});
  virtual ~banc_agent();
  banc_agent(const banc_agent&) = delete;
  banc_agent& operator=(const banc_agent&) = delete;

  // The agent's working directory and the folder it watches inside it.
  const std::filesystem::path& repertoire() const { return repertoire_; }
  std::filesystem::path dossier() const { return repertoire_ / dossier_agent_essai; }

  // Makes the agent watch `dossier_reel` (a share as a workstation mounts it) instead of a folder
  // of the case's own: the watched folder becomes a symbolic link to it. Before lance().
  void surveille(const std::filesystem::path& dossier_reel);

  void depose(const std::string& nom, const QByteArray& contenu) const;
  // Writes `contenu` as `nom` in 30 pieces spread over `duree`, in the background, as a copy over
  // a share does. `taille_d_abord`: the file takes its full size at once (zeros) and one open
  // descriptor fills it from the start; otherwise it grows, each piece appended by a fresh open.
  // `nom` may be a whole path instead: the watched folder as another workstation sees it.
  void depose_peu_a_peu(const std::string& nom, const QByteArray& contenu, bool taille_d_abord,
                        std::chrono::milliseconds duree);
  // Holds `nom` open for writing, unchanged, for `duree`, in the background.
  virtual void garde_ouvert(const std::string& nom, std::chrono::milliseconds duree);
  // Every name left in the watched folder, hidden ones and folders included, in byte order; the
  // running agent's own lock file left out.
  std::vector<std::string> restants() const;

  // Starts the agent with the queue's description as its command line. `sans_privilege`: as the
  // unprivileged user "nobody", so that permission bits bind it even when the tests run as root.
  void lance(bool sans_privilege = false);
  // The same under a pseudo-terminal (script(1)), as from a terminal window: what the terminal
  // showed goes to terminal.txt in the working directory.
  void lance_sous_terminal();
  agent_en_cours& agent() { return *agent_; }
  // Waits for the agent to end by itself; false if it still runs after attente_agent.
  bool attend_fin() { return agent_->attend_fin(attente_agent); }
  // Waits until the watched folder holds exactly `noms`, in byte order.
  bool attend_restants(const std::vector<std::string>& noms) const;

  serveur_cups_prive serveur;

protected:
  // The program lance() starts, before the command line: the test build of the agent, or another
  // agent and what runs it.
  std::vector<std::string> commande_agent_ = {AGENT_BINAIRE_ESSAI};

private:
  std::filesystem::path repertoire_;
  std::unique_ptr<agent_en_cours> agent_;
  std::vector<std::jthread> ecrivains_;
};

}  // namespace agent::essai
