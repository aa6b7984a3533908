// Any name a job file may have on the share goes through the copy-count rules: it gives a count
// or the agent's own error, never a crash, an undefined conversion or a silent wrap-around.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/erreur.h"
#include "intake/nombre_copies.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
  const std::string texte(reinterpret_cast<const char*>(donnees), taille);
  // The reader promises a number, an infinity at worst: a NaN would slip past every range check
  // written as a comparison.
  if (std::isnan(agent::valeur_numerique(texte))) std::abort();
  try {
    agent::nombre_copies(texte);
  } catch (const agent::erreur&) {
  }
  return 0;
}
