#include "core/journal.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace agent {

namespace {

void vers_stderr(niveau_journal, const char* ligne) {
  std::fprintf(stderr, "agent_impression: %s\n", ligne);
  std::fflush(stderr);
}

sortie_journal sortie = vers_stderr;
bool debug_demande = false;

void ecrit(niveau_journal niveau, const char* format, std::va_list arguments) {
  std::va_list copie;
  va_copy(copie, arguments);
  const int longueur = std::vsnprintf(nullptr, 0, format, copie);
  va_end(copie);
  if (longueur < 0) return;
  std::vector<char> ligne(static_cast<size_t>(longueur) + 1);
  std::vsnprintf(ligne.data(), ligne.size(), format, arguments);
  sortie(niveau, ligne.data());
}

// The length of the well-formed UTF-8 sequence starting at `i`, or 0.
size_t sequence_utf8(const std::string& texte, size_t i) {
  const auto octet = static_cast<unsigned char>(texte[i]);
  const size_t longueur = octet < 0x80                     ? 1
                          : octet >= 0xC2 && octet <= 0xDF ? 2
                          : octet >= 0xE0 && octet <= 0xEF ? 3
                          : octet >= 0xF0 && octet <= 0xF4 ? 4
                                                           : 0;
  if (longueur == 0 || i + longueur > texte.size()) return 0;
  for (size_t j = 1; j < longueur; ++j)
    if ((static_cast<unsigned char>(texte[i + j]) & 0xC0) != 0x80) return 0;
  return longueur;
}

}  // namespace

void installe_sortie(sortie_journal nouvelle, bool debug) {
  sortie = nouvelle ? nouvelle : vers_stderr;
  debug_demande = debug;
}

void note_info(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  ecrit(niveau_journal::info, format, arguments);
  va_end(arguments);
}

void note_avertissement(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  ecrit(niveau_journal::avertissement, format, arguments);
  va_end(arguments);
}

void note_critique(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  ecrit(niveau_journal::critique, format, arguments);
  va_end(arguments);
}

void note_debug(const char* format, ...) {
  if (!debug_demande) return;
  std::va_list arguments;
  va_start(arguments, format);
  ecrit(niveau_journal::debug, format, arguments);
  va_end(arguments);
}

std::string champ(const std::string& valeur) {
  static constexpr char chiffres[] = "0123456789abcdef";
  std::string texte = "\"";
  for (size_t i = 0; i < valeur.size();) {
    const auto octet = static_cast<unsigned char>(valeur[i]);
    const size_t longueur = sequence_utf8(valeur, i);
    if (longueur == 0 || octet < 0x20 || octet == 0x7F) {
      texte += "\\x";
      texte += chiffres[octet >> 4];
      texte += chiffres[octet & 0xF];
      ++i;
      continue;
    }
    if (valeur[i] == '"' || valeur[i] == '\\') texte += '\\';
    texte.append(valeur, i, longueur);
    i += longueur;
  }
  return texte + '"';
}

}  // namespace agent
