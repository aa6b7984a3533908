#include "core/arithmetique.h"

#include <cmath>

#include "core/erreur.h"

namespace agent {

void depassement() { throw erreur(code_erreur::depassement_capacite); }

double arrondi_pair(double valeur) {
  // Whole values come back as they are, at once: every dot the raster draws is one, twice.
  if (std::fabs(valeur) < 0x1p52 && valeur == static_cast<double>(static_cast<int64_t>(valeur))) return valeur;
  // Not std::nearbyint: that follows whatever rounding mode the process was left in.
  double plancher = std::floor(valeur);
  double reste = valeur - plancher;
  if (reste > 0.5) return plancher + 1;
  if (reste < 0.5) return plancher;
  return std::fmod(plancher, 2.0) == 0 ? plancher : plancher + 1;
}

static double arrondi_borne(double valeur, double minimum, double maximum) {
  double arrondi = arrondi_pair(valeur);
  if (!(arrondi >= minimum && arrondi <= maximum)) throw erreur(code_erreur::depassement_capacite);
  return arrondi;
}

int32_t arrondi_entier32(double valeur) { return static_cast<int32_t>(arrondi_borne(valeur, INT32_MIN, INT32_MAX)); }

int16_t arrondi_entier16(double valeur) { return static_cast<int16_t>(arrondi_borne(valeur, INT16_MIN, INT16_MAX)); }

}  // namespace agent
