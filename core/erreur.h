#pragma once
// The agent's one error type. Every failure is thrown as an `erreur` where it happens and travels
// up to the window event that started the work (the timer tick or the button click), which
// reports it and ends the program. Nothing below those two events catches it.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace agent {

// The numbers and their French descriptions, in one table (erreur.cpp).
enum class code_erreur : int32_t {
  depassement_capacite = 6,
  memoire_insuffisante = 7,
  indice_hors_limites = 9,
  fichier_introuvable = 53,
  permission_refusee = 70,
  acces_fichier = 75,
  chemin_introuvable = 76,
  valeur_propriete_incorrecte = 380,
  image_incorrecte = 481,
  erreur_imprimante = 482,
  imprimante_introuvable = 484,
};

// The description of a number as the table gives it.
const char* texte_erreur(code_erreur code);

class erreur : public std::runtime_error {
public:
  // The description is the table's text, followed by what went wrong when `detail` says it
  // ("Image incorrecte : /chemin/a_b_1.bmp2 : données tronquées").
  explicit erreur(code_erreur code, const std::string& detail = {});

  int32_t numero() const { return numero_; }
  code_erreur code() const { return static_cast<code_erreur>(numero_); }
  const char* description() const { return what(); }

private:
  int32_t numero_;
};

}  // namespace agent
