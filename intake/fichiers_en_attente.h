#pragma once
// The job files that polls keep leaving in the folder, followed from one poll to the next so that
// a file that never settles is said out loud instead of waiting unseen.

#include <chrono>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "intake/releve.h"

namespace agent {

inline constexpr std::chrono::seconds attente_avant_avertissement{60};
inline constexpr std::chrono::minutes intervalle_avertissements{10};

class fichiers_en_attente {
public:
  using horloge = std::chrono::steady_clock;

  // After a poll that looked at the folder, the files it left. Records a file when it starts
  // waiting or its reason changes; warns once it has waited past attente_avant_avertissement,
  // then at most once every intervalle_avertissements; forgets the files not left this time
  // (printed, or gone).
  void note(const std::vector<fichier_laisse>& laisses, horloge::time_point maintenant);

  std::size_t nombre() const { return suivis_.size(); }

private:
  struct suivi {
    raison_attente raison;
    horloge::time_point depuis;
    std::optional<horloge::time_point> averti;
  };
  std::map<std::string, suivi> suivis_;
};

}  // namespace agent
