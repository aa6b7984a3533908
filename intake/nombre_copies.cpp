#include "intake/nombre_copies.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/arithmetique.h"
#include "core/erreur.h"

namespace agent {

namespace {

bool est_chiffre(char c) { return c >= '0' && c <= '9'; }

// Digit value in the given base, or -1.
int valeur_chiffre(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9')
    v = c - '0';
  else if (c >= 'a' && c <= 'f')
    v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    v = c - 'A' + 10;
  return v < base ? v : -1;
}

double entier_en_base(std::string_view chiffres, int base) {
  // A double rather than an integer type: a long run of digits must end as a value the range
  // check refuses, never wrap around into an acceptable one.
  double valeur = 0;
  for (char c : chiffres) {
    int v = valeur_chiffre(c, base);
    if (v < 0) break;
    valeur = valeur * base + v;
  }
  return valeur;
}

double decimal(std::string_view t) {
  // The readable prefix is rewritten in the form std::from_chars accepts (no "+", "e" for the
  // exponent, a digit before the point), which also keeps the reading free of any locale.
  std::string forme;
  size_t i = 0;
  bool negatif = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negatif = t[i++] == '-';
  if (negatif) forme += '-';
  forme += '0';

  size_t debut_entier = i;
  while (i < t.size() && est_chiffre(t[i])) forme += t[i++];
  size_t chiffres_entiers = i - debut_entier;
  // Order of magnitude of the mantissa, to tell an overflow from an underflow below.
  size_t premier_significatif = debut_entier;
  while (premier_significatif < i && t[premier_significatif] == '0') ++premier_significatif;
  int64_t ordre = static_cast<int64_t>(i - premier_significatif);

  size_t chiffres_fraction = 0;
  if (i < t.size() && t[i] == '.') {
    size_t debut_fraction = ++i;
    while (i < t.size() && est_chiffre(t[i])) ++i;
    chiffres_fraction = i - debut_fraction;
    if (chiffres_fraction > 0) {
      forme += '.';
      forme.append(t.substr(debut_fraction, chiffres_fraction));
    }
    if (ordre == 0) {
      size_t z = debut_fraction;
      while (z < i && t[z] == '0') ++z;
      ordre = -static_cast<int64_t>(z - debut_fraction);
    }
  }
  if (chiffres_entiers == 0 && chiffres_fraction == 0) return 0;
  bool nul = forme.find_first_of("123456789") == std::string::npos;

  if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
    size_t j = i + 1;
    bool exposant_negatif = false;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) exposant_negatif = t[j++] == '-';
    size_t debut_exposant = j;
    int64_t exposant = 0;
    while (j < t.size() && est_chiffre(t[j])) {
      if (exposant < 1'000'000'000) exposant = exposant * 10 + (t[j] - '0');
      ++j;
    }
    // "3E" is 3: an exponent without digits is not part of the number.
    if (j > debut_exposant) {
      forme += exposant_negatif ? "e-" : "e";
      forme.append(t.substr(debut_exposant, j - debut_exposant));
      ordre += exposant_negatif ? -exposant : exposant;
    }
  }

  double valeur = 0;
  auto [fin, ec] = std::from_chars(forme.data(), forme.data() + forme.size(), valeur);
  (void)fin;
  if (ec == std::errc::result_out_of_range) {
    double limite = !nul && ordre > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negatif ? -limite : limite;
  }
  return valeur;
}

}  // namespace

double valeur_numerique(std::string_view texte) {
  std::string t;
  t.reserve(texte.size());
  for (char c : texte)
    if (c != ' ' && c != '\t' && c != '\n') t += c;

  if (!t.empty() && t[0] == '&') {
    if (t.size() >= 2 && (t[1] == 'H' || t[1] == 'h')) return entier_en_base(std::string_view(t).substr(2), 16);
    if (t.size() >= 2 && (t[1] == 'O' || t[1] == 'o')) return entier_en_base(std::string_view(t).substr(2), 8);
    return 0;
  }
  return decimal(t);
}

int16_t nombre_copies(const std::string& nom_fichier) {
  size_t debut = 0;
  for (int champ = 0; champ < 2; ++champ) {
    size_t separateur = nom_fichier.find('_', debut);
    if (separateur == std::string::npos)
      throw erreur(code_erreur::indice_hors_limites, nom_fichier + " : moins de trois champs séparés par « _ »");
    debut = separateur + 1;
  }
  size_t fin = nom_fichier.find('_', debut);
  double valeur = valeur_numerique(std::string_view(nom_fichier).substr(debut, fin - debut));

  // Checked here as well as in arrondi_entier16 so that the overflow names the file.
  double arrondi = arrondi_pair(valeur);
  if (!(arrondi >= INT16_MIN && arrondi <= INT16_MAX))
    throw erreur(code_erreur::depassement_capacite, nom_fichier + " : nombre de copies hors de -32768 à 32767");
  return arrondi_entier16(valeur);
}

}  // namespace agent
