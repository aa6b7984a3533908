#pragma once
// Watches a folder through inotify and keeps, in order, what happened to the names in it. The
// tests use it to act at a precise moment of the agent's poll (the moment it has read a job
// file) and to learn the order in which it deleted its files, which nothing else records.

#include <sys/inotify.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace agent::essai {

struct evenement_dossier {
  uint32_t masque;  // IN_OPEN, IN_CLOSE_NOWRITE, IN_DELETE, …
  std::string nom;
};

class observateur_dossier {
public:
  // Watches `dossier` for the events of `masque`. The folder must exist.
  observateur_dossier(const std::filesystem::path& dossier, uint32_t masque);
  ~observateur_dossier();
  observateur_dossier(const observateur_dossier&) = delete;
  observateur_dossier& operator=(const observateur_dossier&) = delete;

  // Every event so far, oldest first (reads what the kernel has queued since the last call).
  const std::vector<evenement_dossier>& evenements();
  // The names of the events of `masque`, in order.
  std::vector<std::string> noms(uint32_t masque);

  // Reads events until `condition` holds on them or `delai` has passed.
  bool attend(const std::function<bool(const std::vector<evenement_dossier>&)>& condition,
              std::chrono::milliseconds delai);

private:
  int descripteur_ = -1;
  std::vector<evenement_dossier> evenements_;
};

}  // namespace agent::essai
