#pragma once
// The jobs the agent released, followed until they end, so that what the spooler does with them
// reaches the operator: a record line when each ends (completed, cancelled or aborted, with the
// spooler's reason), a warning when its queue stops or refuses jobs, when the printer reports a
// fault, or when the job is held or stopped, and the count of jobs that do not move, for the
// window's title. With the scheduler's default error policy, a printer that fails stops its queue,
// and its jobs would otherwise sit there unseen while the agent goes on deleting files.

#include <chrono>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "printing/service_imprimante.h"

namespace agent {

class suivi_travaux {
public:
  using horloge = std::chrono::steady_clock;

  // From now on, `t` (released, from the file `nom`) is followed.
  void ajoute(const travail_retenu& t, const std::string& nom);

  // Asks the spooler about the followed jobs, when there are any, records what changed, repeats a
  // warning still true at most every intervalle_rappel, and forgets the jobs that ended. Throws
  // nothing: a spooler that cannot tell now is asked again next time, with one warning.
  void actualise(service_imprimante& spouleur, horloge::time_point maintenant);

  // Followed jobs that do not move, as the last look found them.
  std::size_t bloques() const;

  static constexpr std::chrono::minutes intervalle_rappel{10};

private:
  struct suivi {
    travail_retenu t;
    std::string nom;
    std::optional<nouvelles_travail> dernieres;
  };
  // A warning as last given, for one queue's state or one job's.
  struct signalement {
    std::string texte;
    horloge::time_point quand;
  };
  // Warns `texte` then `suite` unless `texte` was the last warning under `cle`, less than
  // intervalle_rappel ago.
  void signale(const std::string& cle, const std::string& texte, const std::string& suite,
               horloge::time_point maintenant);

  std::vector<suivi> suivis_;
  std::map<std::string, signalement> signales_;  // by queue ("file:QLS4100") or job ("travail:17")
  bool injoignable_ = false;
};

}  // namespace agent
