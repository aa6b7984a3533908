#pragma once
// The window's common dialog component `printerDialog`. It records the value a print run sets and
// returns at once: an unattended agent must never stop on a print dialog.

#include <cstdint>
#include <map>

#include "printing/impression.h"

namespace agent {

class dialogue_sans_affichage : public dialogue_commun {
public:
  void fixe_propriete(int32_t identifiant, int16_t valeur) override { proprietes_[identifiant] = valeur; }
  const std::map<int32_t, int16_t>& proprietes() const { return proprietes_; }

private:
  std::map<int32_t, int16_t> proprietes_;
};

}  // namespace agent
