#pragma once
// The window's common dialog component `printerDialog`. Every print run sets its property 26 to 5
// and reads nothing back. The agent's own component records the value and returns at once: an
// unattended agent must never stop on a print dialog.

#include <cstdint>
#include <map>

namespace agent {

constexpr int32_t propriete_dialogue_impression = 26;
constexpr int16_t valeur_dialogue_impression = 5;

class dialogue_commun {
public:
  virtual ~dialogue_commun() = default;
  virtual void fixe_propriete(int32_t identifiant, int16_t valeur) = 0;
};

class dialogue_sans_affichage : public dialogue_commun {
public:
  void fixe_propriete(int32_t identifiant, int16_t valeur) override { proprietes_[identifiant] = valeur; }
  const std::map<int32_t, int16_t>& proprietes() const { return proprietes_; }

private:
  std::map<int32_t, int16_t> proprietes_;
};

}  // namespace agent
